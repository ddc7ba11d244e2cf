#!/usr/bin/env bash
# The manual page of ulvren lists the same commands, options and exit statuses as `ulvren --help`.
# The help is read by the completion's own readers, so that a help the completion misreads fails
# here too; the page is read from its scdoc source.
#
#   manual_page_test.sh ULVREN PAGE.scd COMPLETION
set -euo pipefail
ulvren=$1 page=$2 completion=$3
# shellcheck source=/dev/null
source "$completion"
help=$("$ulvren" --help)

# The lines of the section headed "# $1" in the page.
section() {
    sed -n "/^# $1\$/,/^# /p" "$page"
}

status=0
compare() {
    local what=$1 from_help=$2 from_page=$3
    if ! diff -u --label "ulvren --help" --label "$(basename "$page")" \
        <(LC_ALL=C sort -u <<<"$from_help") <(LC_ALL=C sort -u <<<"$from_page"); then
        echo "FAIL: the $what differ" >&2
        status=1
    fi
}

compare commands "$(_ulvren_help_commands "$help")" \
    "$(section COMMANDS | sed -n 's/^\*\([a-z][a-z-]*\)\*.*/\1/p')"
# An option's entry starts a line: "*--stamp*, *--no-stamp*", "*--device* _PATH_".
compare options "$(_ulvren_help_options "$help")" \
    "$(section OPTIONS | grep '^\*-' | grep -oE -- '\*--?[A-Za-z][A-Za-z-]*\*' | tr -d '*')"
# "exit status: 0 done, 1 the device said no ..., 2 bad usage,\n   3 the tool ..."
compare "exit statuses" "$(sed -n '/^exit status:/,$p' <<<"$help" |
    grep -oE '(:|,|^) +[0-9]+ ' | grep -oE '[0-9]+')" \
    "$(section 'EXIT STATUS' | sed -n 's/^\*\([0-9]*\)\*$/\1/p')"
[ "$status" -eq 0 ] && echo "the manual page lists what ulvren --help lists"
exit "$status"
