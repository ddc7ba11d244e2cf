#!/usr/bin/env bash
# The window and the device lock, through `ulvren-demo --check` run as an ordinary user (nobody),
# whose lock lives in $XDG_RUNTIME_DIR: a lock whose folder is not the user's own is refused, and
# the window says so in the user's language, so the check fails at once; while another program
# holds the lock, the window says that it waits, and the detection goes on when the lock comes.
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell_test.sh"
demo=$1
needs_root "running the demo as another user"
holder=""
cleanup() {
    if [ -n "$holder" ]; then
        timeout 5 sh -c "echo go >'$work/go'" || true
        kill "$holder" 2>/dev/null || true
    fi
}
as_nobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"; }
chmod 0755 "$work"
mkdir -m 0700 "$work/data" "$work/own"
chown nobody:nogroup "$work/data" "$work/own"
# Root's folder, which every user may write to: no user's own.
mkdir -m 0777 "$work/shared"
mkfifo -m 0666 "$work/held" "$work/go"
export QT_QPA_PLATFORM=offscreen HOME="$work/data" XDG_DATA_HOME="$work/data"

# name | lock folder | language | another program holds the lock | status | the window says
cases=(
    "a folder that is not the user's|shared|zh_TW.UTF-8|no|1|未對記錄器進行任何操作：本工具無法取得其裝置鎖定。"
    "another program holds the lock|own|zh_CN.UTF-8|yes|0|正在等待另一个正在使用记录仪的程序。"
)
for row in "${cases[@]}"; do
    IFS='|' read -r name folder language held want_status want_text <<<"$row"
    if [ "$held" = yes ]; then
        as_nobody flock "$work/$folder/ulvren-SCSI.lock" \
            sh -c "echo held >'$work/held'; read line <'$work/go'" &
        holder=$!
        read -r _ <"$work/held"
    fi
    : >"$work/out"
    # Well within the check's own 30 s deadline: a refusal ends it at once.
    LANG=$language XDG_RUNTIME_DIR="$work/$folder" as_nobody timeout 25 "$demo" --check \
        >>"$work/out" 2>"$work/err" &
    check=$!
    # What the window says is an event on the check's output: wait for it, not for a time.
    timeout 25 grep -q -m1 -F "$want_text" <(tail -n +1 --pid="$check" -f "$work/out") ||
        fail "$name: the window did not say '$want_text': $(cat "$work/out" "$work/err")"
    if [ -n "$holder" ]; then
        echo go >"$work/go"
        wait "$holder"
        holder=""
    fi
    status=0
    wait "$check" || status=$?
    [ "$status" = "$want_status" ] ||
        fail "$name: exit $status, not $want_status: $(cat "$work/out" "$work/err")"
done
echo "window_device_lock_test: all checks passed"
