#!/usr/bin/env bash
# The window programs answer --help and --version without a display, and refuse what they do not
# know in two lines with exit status 2.
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work XDG_DATA_HOME=$work
for program in "$@"; do
    name=$(basename "$program")
    # arguments | Qt platform | status | first line of the output
    cases=(
        "-h||0|usage: $name"
        "--version||0|$name "
        "-V||0|$name "
        "--bogus|offscreen|2|$name: unknown argument '--bogus'"
    )
    for row in "${cases[@]}"; do
        IFS='|' read -r arguments platform want_status want_line <<<"$row"
        status=0
        # No display at all: help and version must not need one; the refusal needs the toolkit
        # (it comes after the toolkit took its own arguments), offscreen.
        env -u DISPLAY -u WAYLAND_DISPLAY ${platform:+QT_QPA_PLATFORM=$platform} \
            "$program" $arguments >"$work/out" 2>&1 || status=$?
        [ "$status" = "$want_status" ] || fail "$name $arguments: exit $status: $(cat "$work/out")"
        grep -v '^QStandardPaths' "$work/out" >"$work/said" || true
        [[ $(head -n 1 "$work/said") == "$want_line"* ]] || fail "$name $arguments: $(cat "$work/said")"
    done
    [ "$(grep -c . "$work/said")" = 2 ] || fail "$name --bogus: not two lines: $(cat "$work/said")"
done
echo "program_arguments_test: all checks passed"
