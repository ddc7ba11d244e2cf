#!/usr/bin/env bash
# The device lock and the disks around the recorder: a command waiting for another program says
# so once, and a disk that is not the recorder, passed with --device, is refused before anything
# is locked, unmounted or changed on it (a mounted loop device stands for it). Needs root, for the
# loop device and for root's lock.
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell_test.sh"
ulvren=$1
needs_root "a mounted loop device, root's device lock"
loop=""
holder=""
cleanup() {
    # A holder left waiting would keep the lock, and the test's output open, for ever: let it go.
    if [ -n "$holder" ]; then
        timeout 5 sh -c "echo go >'$work/go'" || true
        kill "$holder" 2>/dev/null || true
    fi
    umount "$work/mnt" 2>/dev/null || true
    [ -z "$loop" ] || losetup -d "$loop" 2>/dev/null || true
}
export LC_ALL=C

# Another program holds root's device lock; the tool waits for it, says so once, then goes on.
mkfifo "$work/held" "$work/go"
flock /run/ulvren-SCSI.lock sh -c "echo held >'$work/held'; read line <'$work/go'" &
holder=$!
read -r _ <"$work/held"
# The file is there before anyone follows it; the tool's redirection happens in its own process.
: >"$work/err"
"$ulvren" --simulate "$work/rec.img" --size 2097152 detect >"$work/out" 2>>"$work/err" &
tool=$!
notice='Waiting for another program that is using the recorder.'
# The notice is an event on the tool's standard error: wait for it, not for a time.
timeout 30 grep -q -m1 -F "$notice" <(tail -n +1 --pid="$tool" -f "$work/err") ||
    fail "no notice while waiting: $(cat "$work/err")"
echo go >"$work/go"
wait "$holder"
holder=""
wait "$tool" || fail "detect after the wait: $(cat "$work/out" "$work/err")"
[ "$(grep -cF "$notice" "$work/err")" = 1 ] || fail "the notice came more than once"

# A mounted disk that is not the recorder.
truncate -s 8M "$work/disk.img"
mkfs.ext2 -q -F "$work/disk.img"
loop=$(losetup -f --show "$work/disk.img")
mkdir "$work/mnt"
mount "$loop" "$work/mnt"
echo kept >"$work/mnt/file"

# command | standard input
cases=(
    "set-clock|"
    "login --password-stdin|x"
    "change-password --password-stdin|old\nnew\nnew"
    "format --type public|"
)
for row in "${cases[@]}"; do
    IFS='|' read -r command input <<<"$row"
    status=0
    # shellcheck disable=SC2086 # the command is words without blanks
    printf "$input\n" | "$ulvren" --device "$loop" --trace "$work/trace" $command \
        >"$work/out" 2>"$work/err" || status=$?
    [ "$status" = 1 ] || fail "$command: exit $status, not 1: $(cat "$work/out" "$work/err")"
    grep -qF "no recorder answers at $loop" "$work/err" || fail "$command: $(cat "$work/err")"
    mountpoint -q "$work/mnt" || fail "$command unmounted $loop"
    [ "$(cat "$work/mnt/file")" = kept ] || fail "$command changed the disk"
    # The identify command is the only one sent; it never reaches a loop device anyway.
    if grep -v '^in cdb=f6' "$work/trace"; then fail "$command sent more than the identify"; fi
done
echo "device_lock_test: all checks passed"
