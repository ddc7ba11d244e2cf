#!/usr/bin/env bash
# With the adapter's maximum transfer at 65,535 sectors, formatting an 8 GiB recorder sends one
# capacity command and exactly the ten writes of the format, as the trace shows. The device path
# is given, so no detection comes first: the set-type command, then the format.
#
#   format_trace_test.sh ULVREN
set -euo pipefail

ulvren=$1
sectors=16777216
fat=16353

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$ulvren" --simulate "$work/recorder.img" --size "$sectors" --max-transfer 65535 \
    --device '\\?\E:' --trace "$work/trace" format --type public

write10() {  # LBA COUNT
    printf 'out cdb=2a00%08x00%04x00 len=%d timeout=20 sense=18\n' "$1" "$2" $(($2 * 512))
}
{
    write10 0 1
    write10 6 1
    write10 1 1
    write10 7 1
    write10 38 1
    write10 $((38 + fat)) 1
    write10 39 $((fat - 1))
    write10 $((39 + fat)) $((fat - 1))
    write10 $((38 + 2 * fat)) 1
    write10 $((39 + 2 * fat)) 7
} >"$work/expected"

head -n 2 "$work/trace" | cut -d' ' -f2 >"$work/commands"
printf 'cdb=f8010000000000000000000000000000\ncdb=fb000000000000000000000000000000\n' |
    diff -u - "$work/commands" || { echo "FAIL: set type, then capacity, expected first"; exit 1; }
capacity=$(grep -c '^in cdb=fb' "$work/trace" || true)
[[ $capacity -eq 1 ]] || { echo "FAIL: $capacity capacity commands"; exit 1; }
grep '^out cdb=2a' "$work/trace" >"$work/writes"
diff -u "$work/expected" "$work/writes" || { echo "FAIL: the writes differ"; exit 1; }
echo "PASS: one capacity command and ten writes"
