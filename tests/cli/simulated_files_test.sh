#!/usr/bin/env bash
# The simulated recorder's image and state file under faults and concurrency: a write or a setting
# that could not be kept is never reported as done (exit 3, with the reason), and runs over one
# image at the same time never lose a setting. Needs root, to mount a small file system.
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell_test.sh"
ulvren=$1
needs_root "it mounts a small tmpfs"
small="$work/small"
mkdir "$small"
cleanup() { umount "$small" 2>/dev/null || true; }
export LC_ALL=C

# A 64 KiB file system: sixteen pages, which the image's sectors and the state file draw from.
mount -t tmpfs -o size=64k tmpfs "$small"
small_image="$small/rec.img"
"$ulvren" --simulate "$small_image" --size 2097152 detect >/dev/null
fill_leaving_one_page() {
    for i in $(seq 32); do
        head -c 4096 /dev/zero >"$small/fill$i" 2>/dev/null || { rm -f "$small/fill$i"; break; }
    done
    rm -f "$small/fill1"
}

image="$work/rec.img"
run() { "$ulvren" --simulate "$image" --size 2097152 "$@"; }
state_is_a_directory() { mkdir "$image.state"; }
password_disk_under_sixteen_detects() {
    rmdir "$image.state"
    run format --type password >/dev/null
    printf '\n0pen\n0pen\n' | run change-password --password-stdin >/dev/null
    local pids=()
    for i in $(seq 16); do
        run --max-transfer $((100 + i)) detect >/dev/null 2>&1 &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do wait "$pid" || fail "a concurrent detect failed"; done
}

# name | setup | ulvren's arguments | standard input | status | output line | error text
cases=(
    "full image disk|fill_leaving_one_page|--simulate $small_image format --type public||3|Format failed!|No space left on device"
    "full state disk|true|--simulate $small_image set-clock||3|Set Date/Time failed!|No space left on device"
    "state is a directory|state_is_a_directory|--simulate $image --size 2097152 detect||3||Is a directory"
    "16 concurrent detects|password_disk_under_sixteen_detects|--simulate $image login --password-stdin|0pen|0|Login successfully!|"
)
for row in "${cases[@]}"; do
    IFS='|' read -r name setup arguments input want_status want_line want_error <<<"$row"
    $setup || fail "$name: setup failed"
    status=0
    # shellcheck disable=SC2086 # the arguments are words without blanks
    out=$(printf '%s\n' "$input" | "$ulvren" $arguments 2>"$work/err") || status=$?
    [ "$status" = "$want_status" ] || fail "$name: exit $status, not $want_status: $out $(cat "$work/err")"
    [ -z "$want_line" ] || grep -qxF "$want_line" <<<"$out" || fail "$name: no '$want_line': $out"
    [ -z "$want_error" ] || grep -qF "$want_error" "$work/err" || fail "$name: no '$want_error': $(cat "$work/err")"
done
grep -qx 'disk_type=2' "$image.state" || fail "the disk type was lost: $(cat "$image.state")"
echo "simulated_files_test: all checks passed"
