#!/usr/bin/env bash
# Several recorders: detect lists each, and --all runs a command on each in turn, naming each
# recorder before its result; one that fails in the middle fails alone and sets the status.
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell_test.sh"
ulvren=$1
export LC_ALL=C LANG=C
e='\\?\E:' f='\\?\F:' g='\\?\G:'
three=(--simulate "$work/e.img" --size 1048576 --simulate "$work/f.img" --simulate "$work/g.img")
"$ulvren" "${three[@]}" --all format --type password >/dev/null
# Alone, F's image is the recorder E: of its machine: it gets a password the others lack.
printf '\nother\nother\n' | "$ulvren" --simulate "$work/f.img" change-password --password-stdin \
    >/dev/null

# name | standard input | status | output (lines joined with ;) | arguments
cases=(
    "detect lists each||0|Disk Capacity: 512 MB;USB Disk Type: Password Disk;Device: $e;;Disk Capacity: 512 MB;USB Disk Type: Password Disk;Device: $f;;Disk Capacity: 512 MB;USB Disk Type: Password Disk;Device: $g|${three[*]} detect"
    "the middle one fails alone|\n|1|Device: $e;Login successfully!;Device: $f;Login failed!;Device: $g;Login successfully!|${three[*]} --all login --password-stdin"
    "every one succeeds||0|Device: $e;Set Date/Time successfully!;Device: $f;Set Date/Time successfully!;Device: $g;Set Date/Time successfully!|${three[*]} --all set-clock --time 2031-05-06T07:08:09"
    # This computer has no recorder plugged in.
    "no recorder||1|Device not found|--all set-clock"
)
for case in "${cases[@]}"; do
    IFS='|' read -r name input want_status want_out arguments <<<"$case"
    status=0
    # shellcheck disable=SC2086 # the arguments hold no blanks
    out=$(printf "$input" | "$ulvren" $arguments 2>"$work/err") || status=$?
    [ "$status" = "$want_status" ] || fail "$name: exited $status, not $want_status: $(cat "$work/err")"
    [ "$(tr '\n' ';' <<<"$out")" = "$want_out;" ] || fail "$name: printed $out"
done
for image in e f g; do
    grep -qx 'clock=20310506070809' "$work/$image.img.state" || fail "$image: clock not set"
done
grep -qx 'logged_in=1' "$work/g.img.state" || fail "the recorder after the failure was not served"
echo "all_recorders_test: all checks passed"
