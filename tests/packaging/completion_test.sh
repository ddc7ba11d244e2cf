#!/usr/bin/env bash
# The bash completion of ulvren, run as bash runs it on Tab: each line of the table is the words
# on the command line (the last one being completed) and the completions expected.
#
#   completion_test.sh ULVREN COMPLETION
# Completion functions are written for interactive shells: no -e or -u here.
set -o pipefail
ulvren=$1 completion=$2
# shellcheck source=/dev/null
source /usr/share/bash-completion/bash_completion
# shellcheck source=/dev/null
source "$completion"

files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
touch "$files/image.img" "$files/image.img.state"

# The words after ulvren (\"\" an empty word) | the completions, sorted.
cases="
for | format
ch | change-password
--pass | --password-stdin
--max | --max-transfer
format --ty | --type
format --type \"\" | password public
format --type = pa | password
--simulate $files/image.img. | $files/image.img.state
--device /dev/null --trace $files/ima | $files/image.img $files/image.img.state
--size \"\" |
set-clock --time \"\" |
login \"\" |
format --type public \"\" |
"

failures=0
while IFS='|' read -r words expected; do
    [ -n "$words" ] || continue
    read -r -a COMP_WORDS <<<"$ulvren $words"
    COMP_WORDS=("${COMP_WORDS[@]/#\"\"/}")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    # bash splits --type=pa into three words, with no blanks between them on the line.
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_LINE=${COMP_LINE// = /=}
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _ulvren
    got=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | xargs)
    expected=$(xargs <<<"$expected")
    if [ "$got" != "$expected" ]; then
        echo "FAIL: ulvren $words<TAB>: got '$got', expected '$expected'" >&2
        failures=$((failures + 1))
    fi
done <<<"$cases"
[ "$failures" -eq 0 ] && echo "every completion as expected"
exit $((failures > 0))
