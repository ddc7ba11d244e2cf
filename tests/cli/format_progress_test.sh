#!/usr/bin/env bash
# ulvren format shows its progress on a terminal (a pseudo-terminal under script): one line that
# updates in place and ends at 100 % before the result; into a pipe, no progress at all.
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell_test.sh"
ulvren=$1
export LC_ALL=C
command -v script >/dev/null || fail "needs script (util-linux)"
format="'$ulvren' --simulate '$work/rec.img' format --type public"

started=$(date +%s%N)
script -qec "$format" /dev/null >"$work/terminal"
seconds=$((($(date +%s%N) - started) / 1000000000 + 1))
# The updates of the one line, each started by a carriage return.
tr '\r' '\n' <"$work/terminal" | grep '^Formatting: ' >"$work/updates" ||
    fail "no progress line on a terminal: $(cat -A "$work/terminal")"
last=$(tail -n 1 "$work/updates")
grep -qxE 'Formatting: 100% \(([0-9]+\.[0-9]) of \1 MB written\)' <<<"$last" ||
    fail "the progress does not end at 100 %: $last"
# At most four updates a second, besides the first and the last: not one at every write.
[ "$(wc -l <"$work/updates")" -le $((4 * seconds + 2)) ] ||
    fail "$(wc -l <"$work/updates") updates in ${seconds} s: $(tr '\n' ' ' <"$work/updates")"
# The percentages only grow, and the result follows on a line of its own.
sed 's/^Formatting: \([0-9]*\)%.*/\1/' "$work/updates" | sort -n -c ||
    fail "the progress went back: $(cat "$work/updates")"
tr -d '\r' <"$work/terminal" | grep -qx 'Format successfully!' ||
    fail "the result is not on a line of its own: $(cat -A "$work/terminal")"

eval "$format" 2>&1 | cat >"$work/pipe"
[ "$(cat "$work/pipe")" = 'Format successfully!' ] ||
    fail "into a pipe there is more than the result: $(cat -A "$work/pipe")"
echo "format_progress_test: all checks passed"
