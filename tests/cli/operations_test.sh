#!/usr/bin/env bash
# Every command of ulvren end to end against one simulated recorder, in the order a user would
# run them, with the localized texts and exit statuses a script relies on.
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell_test.sh"
ulvren=$1
export LC_ALL=C LANG=C
image="$work/rec.img"
# The tool's language comes from the locale variables; the locales need not be installed.
run() { env LC_ALL="${locale:-C}" "$ulvren" --simulate "$image" --size 2097152 "$@"; }

# expect STATUS OUTPUT-LINE -- ARGS... (standard input passes through)
expect() {
    local want_status=$1 want_line=$2 status=0 out
    shift 3
    out=$(run "$@" 2>"$work/err") || status=$?
    [ "$status" = "$want_status" ] || fail "'$*' exited $status, not $want_status: $out $(cat "$work/err")"
    [ -z "$want_line" ] || grep -qxF -- "$want_line" <<<"$out" || fail "'$*' did not print '$want_line': $out"
}

expect 0 "USB Disk Type: Public Disk" -- detect
expect 0 "Format successfully!" -- --trace "$work/format.log" format --type password
grep -q '^in cdb=f8020000000000000000000000000000 ' "$work/format.log" || fail "no set-type 2"
expect 0 "USB Disk Type: Password Disk" -- detect

# A new recorder's password is empty.
printf '\n' | expect 0 "Login successfully!" -- login --password-stdin
printf 'x\n' | expect 1 "Login failed!" -- login --password-stdin

# Wrong old password: text 24, and the new password never reaches the device.
printf 'wrong\nnew\nnew\n' | expect 1 "Incorrect old password!" -- --trace "$work/wrong.log" \
    change-password --password-stdin
grep -q '^in cdb=f3' "$work/wrong.log" || fail "no verification sent"
! grep -q '^in cdb=f2' "$work/wrong.log" || fail "a new password was sent after a wrong old one"

# New and confirmation differ: text 20 and no device access at all.
printf '\nnew\nNEW\n' | expect 1 "Confirm password don't match new password!" -- \
    --trace "$work/mismatch.log" change-password --password-stdin
[ ! -s "$work/mismatch.log" ] || fail "the device was touched after a mismatch"

printf '\nsecret\nsecret\n' | expect 0 "Change password successfully!" -- change-password --password-stdin
printf 'secret\n' | expect 0 "Login successfully!" -- login --password-stdin

# Runs COMMAND on a terminal of its own (script's pseudo-terminal), types KEYS once the password
# prompt shows, and prints what the terminal showed. Waiting for the prompt means echo is already
# off when the keys arrive.
on_terminal() { # KEYS COMMAND
    local keys=$1 command=$2 pid
    rm -f "$work/keyboard" "$work/screen"
    mkfifo "$work/keyboard"
    # A job started with & ignores SIGINT unless told otherwise; the terminal's Ctrl-C must count.
    env --default-signal=INT,QUIT script -qfec "$command" /dev/null <"$work/keyboard" \
        >"$work/screen" 2>&1 &
    pid=$!
    exec 4>"$work/keyboard"
    for _ in $(seq 300); do
        grep -q 'Password: ' "$work/screen" 2>/dev/null && break
        sleep 0.1
    done
    printf "$keys" >&4
    # Never hang the test on a tool that waits on: give it 30 s.
    timeout 30 tail --pid="$pid" -f /dev/null || kill "$pid" 2>/dev/null || true
    wait "$pid" || true
    exec 4>&-
    tr -d '\0' <"$work/screen"
}

# From the terminal, with echo off: the prompt shows, the password does not.
out=$(on_terminal 'secret\r' "env LC_ALL=C '$ulvren' --simulate '$image' login")
grep -q 'Password: ' <<<"$out" || fail "no prompt on the terminal: $out"
grep -q 'Login successfully!' <<<"$out" || fail "terminal login: $out"
! grep -q secret <<<"$out" || fail "the password was echoed"

# Ctrl-C at the prompt ends the tool and gives the terminal its echo back. (Whether the shell
# around it sees the interrupt too depends on timing, so both ways report the terminal's state.)
cat >"$work/interrupt.sh" <<SCRIPT
report() { stty -a | grep -o -- " -\\?echo " | head -n 1; }
trap 'report; exit 0' INT
env LC_ALL=C '$ulvren' --simulate '$image' login
echo "status \$?"
report
SCRIPT
out=$(on_terminal '\003' "bash '$work/interrupt.sh'")
grep -q ' echo ' <<<"$out" || fail "echo not restored after Ctrl-C: $out"
! grep -q 'status 0' <<<"$out" || fail "the tool went on after Ctrl-C: $out"

# The clock: 4 March 2012 05:06:07 without a time stamp.
expect 0 "Set Date/Time successfully!" -- --trace "$work/clock.log" set-clock \
    --time 2012-03-04T05:06:07 --no-stamp
grep -q "^in cdb=f5$(printf '20120304050607N' | od -An -tx1 | tr -d ' \n') " "$work/clock.log" ||
    fail "clock command: $(cat "$work/clock.log")"
expect 0 "Set Date/Time successfully!" -- set-clock
grep -qx 'time_stamp=1' "$image.state" || fail "host time with a stamp by default"

# Passwords are bytes of the language's code page: 12 at most, nothing cut or replaced.
printf '1234567890123\n' | expect 2 "" -- login --password-stdin
grep -q 'at most 12 bytes' "$work/err" || fail "no reason for a long password"
printf '密码\n' | expect 2 "" -- login --password-stdin
grep -q 'a character that the recorder cannot accept' "$work/err" || fail "no reason for an unencodable password"
printf 'secret\n\xe5\xaf\x86\xe7\xa0\x81\n\xe5\xaf\x86\xe7\xa0\x81\n' |
    locale=zh_CN.UTF-8 expect 0 "更改密码成功!" -- change-password --password-stdin
grep -qx 'password_hex=c3dcc2eb' "$image.state" || fail "密码 is not C3DC C2EB in code page 936"
printf '\xe5\xaf\x86\xe7\xa2\xbc\n' | locale=zh_TW.UTF-8 expect 1 "登入失敗!" -- login --password-stdin

# Traditional Chinese texts and the given device path, where the recorder is found first.
locale=zh_TW.UTF-8 expect 0 "格式化成功!" -- --device '\\?\E:' format --type public
expect 1 "" -- --device '\\?\F:' set-clock
grep -q 'no such device: \\\\?\\F:' "$work/err" || fail "no reason for a failed open: $(cat "$work/err")"
grep -q 'no recorder answers at \\\\?\\F:' "$work/err" || fail "no refusal: $(cat "$work/err")"

# detect --device looks at that device only: the card reader D: is not the recorder.
expect 0 'Device: \\?\E:' -- --device '\\?\E:' detect
expect 1 "Device not found" -- --device '\\?\D:' detect

# A size that FAT32 with 4 KiB clusters does not hold (one sector too few): the format fails with
# the reason in the user's language, and nothing is written to the recorder.
status=0
out=$(LC_ALL=zh_CN.UTF-8 "$ulvren" --simulate "$work/small.img" --size 525269 \
    --trace "$work/small.log" format --type public 2>&1) || status=$?
[ "$status" = 1 ] && grep -qxF -- "格式化失败：记录仪的容量超出了 FAT32 在 4 KiB 簇大小下所能容纳的范围。未写入任何数据。" <<<"$out" ||
    fail "format of 525269 sectors: $status, $out"
! grep -q '^out cdb=2a' "$work/small.log" || fail "the format of 525269 sectors wrote sectors"

# Usage errors.
expect 2 "" -- set-clock --time 2013-02-29T00:00:00
expect 2 "" -- login --stamp
echo "operations_test: all checks passed"
