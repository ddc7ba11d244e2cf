#!/usr/bin/env bash
# The command line's input and output under abuse: closed standard streams, endless or odd
# password input, odd image paths, a trace that cannot be written, contradictory options, and
# requests to end it while a format runs. Each is refused or reported with its exit status.
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell_test.sh"
ulvren=$1
export LC_ALL=C
image="$work/rec.img"
"$ulvren" --simulate "$image" --size 1048576 detect >/dev/null
touch "$work/a-file"
long_name="$work/$(printf 'x%.0s' $(seq 300)).img"

# name | ulvren's arguments (and redirections) | status | text in the output | text in the errors
cases=(
    "closed output|--simulate $image format --type public >&-|0||"
    "closed input|--simulate $image login --password-stdin <&-|2||standard input ended"
    "closed errors|--simulate $image --device nowhere set-clock 2>&-|1||"
    "endless input|--simulate $image login --password-stdin </dev/zero|2||longer than 256 bytes"
    "NUL in a password|--simulate $image --trace $work/nul.log login --password-stdin <$work/nul|2||NUL byte"
    "name too long|--simulate $long_name detect|3||File name too long"
    "path through a file|--simulate $work/a-file/rec.img detect|3||Not a directory"
    "trace on a full disk|--simulate $image --trace /dev/full detect|3|Device: |No space left on device"
    "two disk types|--simulate $image format --type public --type password|2||give --type once"
    "option=value|--simulate=$image --size=1048576 format --type=public|0|Format successfully!|"
    "an unknown option|--bogus detect|2||Try 'ulvren --help' for more information."
    "output on a full disk|--simulate $image detect >/dev/full|3||standard output could not be written"
    "errors on a full disk|--simulate $image --device nowhere detect 2>/dev/full|3||"
    "trace over the image|--simulate $image --trace $image detect|2||give another --trace"
    "trace over the state file|--simulate $image --trace $image.state detect|2||give another --trace"
    "trace over a link to the image|--simulate $image --trace $work/image-link detect|2||give another --trace"
    "trace over a new image|--simulate $work/new.img --trace $work/./new.img detect|2||give another --trace"
)
ln -s rec.img "$work/image-link"
image_size=$(stat -c %s "$image")
printf 'se\0cret\n' >"$work/nul"
for row in "${cases[@]}"; do
    IFS='|' read -r name arguments want_status want_out want_err <<<"$row"
    status=0
    eval "\"$ulvren\" $arguments" >"$work/out" 2>"$work/err" </dev/null || status=$?
    [ "$status" = "$want_status" ] || fail "$name: exit $status, not $want_status: $(cat "$work/out" "$work/err")"
    [ -z "$want_out" ] || grep -qF "$want_out" "$work/out" || fail "$name: no '$want_out': $(cat "$work/out")"
    [ -z "$want_err" ] || grep -qF "$want_err" "$work/err" || fail "$name: no '$want_err': $(cat "$work/err")"
    # Nothing meant for a stream ever lands in the image.
    ! grep -qa -e 'Format successfully' -e 'ulvren' "$image" || fail "$name: text in the image"
done
[ ! -s "$work/nul.log" ] || fail "a password with a NUL byte reached the device"
[ "$(stat -c %s "$image")" = "$image_size" ] && [ ! -e "$work/new.img" ] || fail "a trace cut an image"

# A terminal in a legacy character set: the texts come out in it, and a password typed in it
# reaches the recorder as the same bytes as the same characters typed on a UTF-8 terminal.
for row in "zh_TW.Big5|BIG5|密碼" "zh_CN.GBK|GBK|密码"; do
    IFS='|' read -r locale charset password <<<"$row"
    utf8_locale=${locale%%.*}.UTF-8
    diff <(LC_ALL=$locale "$ulvren" --simulate "$image" detect | iconv -f "$charset" -t UTF-8) \
        <(LC_ALL=$utf8_locale "$ulvren" --simulate "$image" detect) || fail "$locale: the texts"
    printf '%s\n' "$password" | iconv -f UTF-8 -t "$charset" | LC_ALL=$locale "$ulvren" --simulate "$image" \
        --trace "$work/legacy.log" login --password-stdin >/dev/null || true
    printf '%s\n' "$password" | LC_ALL=$utf8_locale "$ulvren" --simulate "$image" \
        --trace "$work/utf8.log" login --password-stdin >/dev/null || true
    grep -q 'cdb=fa' "$work/utf8.log" && diff "$work/legacy.log" "$work/utf8.log" ||
        fail "$locale: the password's bytes differ"
done

# Requests to end the program during a format. The trace goes into a pipe that the test reads,
# so the format stands still wherever the test stops reading: the signals arrive mid-format.
big="$work/big.img"
# name | signals sent | status | last output line
cases=(
    "one request: the format finishes|TERM|0|Format successfully!"
    "two requests: the program ends at once|TERM TERM|$((128 + 15))|"
)
for row in "${cases[@]}"; do
    IFS='|' read -r name signals want_status want_line <<<"$row"
    rm -f "$big" "$big.state" "$work/trace"
    mkfifo "$work/trace"
    env --default-signal=INT "$ulvren" --simulate "$big" --size 2097152 --max-transfer 1 \
        --trace "$work/trace" format --type public >"$work/out" 2>"$work/err" &
    tool=$!
    exec 5<"$work/trace"
    while read -r line <&5 && [[ $line != "out cdb=2a"* ]]; do :; done
    for signal in $signals; do
        kill -s "$signal" "$tool"
        # The notice is an event on the tool's standard error: wait for it, not for a time.
        timeout 30 grep -q -m1 'the format goes on' <(tail -n +1 --pid="$tool" -f "$work/err") ||
            fail "$name: no notice: $(cat "$work/err")"
    done
    cat <&5 >/dev/null &
    drain=$!
    status=0
    wait "$tool" || status=$?
    wait "$drain" || true
    exec 5<&-
    [ "$status" = "$want_status" ] || fail "$name: exit $status, not $want_status: $(cat "$work/err")"
    [ "$(tail -n 1 "$work/out")" = "$want_line" ] || fail "$name: output $(cat "$work/out")"
done
# Stop and continue at the password prompt, as a shell's job control does (Ctrl-Z, then fg): the
# shell has echo while the tool is stopped, and the typing stays hidden when it goes on. The
# shell's prompt and the tool's end in a colon; each step waits until the screen shows one.
mkfifo "$work/keyboard"
: >"$work/screen"
env --default-signal=INT,QUIT,TSTP script -qfec \
    "env -i TERM=dumb PS1='ready: ' bash --norc --noprofile -i" /dev/null \
    <"$work/keyboard" >"$work/screen" 2>&1 &
terminal=$!
exec 4>"$work/keyboard"
exec 6< <(tail -n +1 --pid="$terminal" -f "$work/screen")
shown() { # TEXT: waits for TEXT and a colon on the screen (30 s at most, so as never to hang)
    local chunk
    while IFS= read -t 30 -r -d ':' chunk <&6; do
        [[ $chunk != *"$1" ]] || return 0
    done
    fail "the screen never showed '$1:': $(tr -d '\r' <"$work/screen")"
}
shown ready
printf 'LC_ALL=C %s --simulate %s login\r' "$ulvren" "$image" >&4
shown Password
printf '\032' >&4
shown ready
printf 'stty -a | grep -o -- " -*echo " | head -n 1\r' >&4
shown ready
printf 'fg\r' >&4
shown Password  # shown again once the tool has taken echo away again
printf 'secret\r' >&4
shown ready
printf 'exit\r' >&4
wait "$terminal" || true
exec 4>&- 6<&-
screen=$(tr -d '\r' <"$work/screen")
grep -qx ' echo ' <<<"$screen" || fail "no echo while the tool was stopped: $screen"
grep -qx 'Login failed!' <<<"$screen" || fail "the tool did not go on after fg: $screen"
! grep -q secret <<<"$screen" || fail "the password was echoed after fg: $screen"
echo "streams_test: all checks passed"
