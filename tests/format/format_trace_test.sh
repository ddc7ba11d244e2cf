#!/usr/bin/env bash
# With the adapter's maximum transfer at 65,535 sectors, formatting an 8 GiB recorder sends one
# capacity command and exactly the ten writes of the format, as the trace shows.
#
#   format_trace_test.sh ULVREN
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell_test.sh"

ulvren=$1
sectors=16777216
fat=16353

"$ulvren" --simulate "$work/recorder.img" --size "$sectors" --max-transfer 65535 \
    --device '\\?\E:' --trace "$work/trace" format --type public
sed -i 's/\r$//' "$work/trace"  # the Windows build ends its lines with CR LF

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

# Detection at the given path comes first (identify, capacity, disk type); then the format's
# session checks that the recorder is still there (identify) before its own commands: set type,
# one capacity command, the writes.
cut -d' ' -f2 "$work/trace" | grep -v '^cdb=2a' >"$work/commands"
diff -u - "$work/commands" <<'COMMANDS' || { echo "FAIL: other commands than expected"; exit 1; }
cdb=f6000000000000000000000000000000
cdb=fb000000000000000000000000000000
cdb=f9000000000000000000000000000000
cdb=f6000000000000000000000000000000
cdb=f8010000000000000000000000000000
cdb=fb000000000000000000000000000000
COMMANDS
grep '^out cdb=2a' "$work/trace" >"$work/writes"
diff -u "$work/expected" "$work/writes" || { echo "FAIL: the writes differ"; exit 1; }
echo "PASS: one capacity command and ten writes"
