#!/usr/bin/env bash
# ulvren detect against a simulated recorder, and the command line's usage errors.
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell_test.sh"
ulvren=$1

out=$("$ulvren" --simulate "$work/demo.img" --trace "$work/t.log" detect)
grep -qx 'Device: \\\\?\\E:' <<<"$out" || fail "device path missing: $out"
grep -qx 'Disk Capacity: 8192 MB' <<<"$out" || fail "capacity missing: $out"
grep -qx 'USB Disk Type: Public Disk' <<<"$out" || fail "disk type missing: $out"
[ "$(stat -c %s "$work/demo.img")" = 8589934592 ] || fail "image is not 8 GiB"

# The card reader D: refuses the identify command; the recorder E: answers it.
trace_line='^in cdb=[0-9a-f]{32} len=8 timeout=10 sense=24 reply=[0-9a-f]{16}$'
[ "$(grep -cvE "$trace_line" "$work/t.log")" = 0 ] || fail "malformed trace: $(cat "$work/t.log")"
grep -q '^in cdb=f6000000000000000000000000000000 .* reply=f64b414c554d4558$' "$work/t.log" ||
    fail "no identify in trace"
grep -q '^in cdb=fb000000000000000000000000000000 .* reply=fb59455300000001$' "$work/t.log" ||
    fail "no capacity command in trace"
grep -q '^in cdb=f9000000000000000000000000000000 .* reply=f901594553000000$' "$work/t.log" ||
    fail "no disk-type command in trace"

# A second run finds the same recorder with the same settings.
"$ulvren" --simulate "$work/demo.img" detect >/dev/null

# Usage errors exit 2 and say what is wrong.
expect_usage() {
    local status=0
    err=$("$ulvren" "$@" 2>&1 >/dev/null) || status=$?
    [ "$status" = 2 ] || fail "'$*' exited $status, not 2"
    grep -q "$expected" <<<"$err" || fail "'$*' did not say '$expected': $err"
}
expected='no command given' expect_usage
expected='unknown argument' expect_usage frobnicate
expected='go with --simulate' expect_usage --size 100 detect
expected='already holds' expect_usage --simulate "$work/demo.img" --size 4096 detect
expected='public or password' expect_usage --simulate "$work/demo.img" format --type secret
expected='needs a value' expect_usage detect --device
"$ulvren" --help | grep -q '^usage: ulvren' || fail "--help"
echo "detect_test: all checks passed"
