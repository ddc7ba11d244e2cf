#!/usr/bin/env bash
# The command line's own messages come from the text catalogue in the user's language, after
# "ulvren: ", as its results do; a usage error stays English, as in the tools around it.
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell_test.sh"
ulvren=$1
image="$work/rec.img"
"$ulvren" --simulate "$image" --size 2048 detect >/dev/null

languages=(C.UTF-8 zh_CN.UTF-8 zh_TW.UTF-8)
# ulvren's arguments (and redirections) | status | the message in each of the languages above
cases=(
    "--simulate $image --device nowhere set-clock|1|no recorder answers at nowhere; nothing there was locked|nowhere 处没有记录仪应答|nowhere 沒有記錄器回應"
    "--simulate $image --trace $image detect|2|is the simulated recorder's $image; give another --trace|就是模拟记录仪的 $image；请用 --trace 指定其他文件|就是模擬記錄器的 $image；請以 --trace 指定其他檔案"
    "--simulate $image login --password-stdin </dev/null|2|standard input ended after 0 of 1 passwords|标准输入只提供了 0 个密码，需要 1 个|標準輸入只提供了 0 個密碼，需要 1 個"
    "--simulate $image --trace $work/no-such-folder/t.log detect|3|cannot write the trace file $work/no-such-folder/t.log|无法写入跟踪文件|無法寫入追蹤檔案"
    "--simulate $work/no-such-folder/r.img detect|3|the simulated recorder cannot be used: cannot create $work/no-such-folder/r.img:|无法使用模拟记录仪：cannot create|無法使用模擬記錄器：cannot create"
    "--bogus detect|2|Try 'ulvren --help' for more information.|Try 'ulvren --help'|Try 'ulvren --help'"
)
for row in "${cases[@]}"; do
    IFS='|' read -r arguments want_status messages <<<"$row"
    IFS='|' read -r -a wanted <<<"$messages"
    for i in "${!languages[@]}"; do
        status=0
        eval "LC_ALL=${languages[i]} \"$ulvren\" $arguments" >/dev/null 2>"$work/err" || status=$?
        [ "$status" = "$want_status" ] || fail "$arguments (${languages[i]}): exit $status, not $want_status"
        grep -qF "${wanted[i]}" "$work/err" && [ "$(head -c 8 "$work/err")" = "ulvren: " ] ||
            fail "$arguments (${languages[i]}): no 'ulvren: ...${wanted[i]}': $(cat "$work/err")"
    done
done

# set-clock --one-line, as the set-clock service runs it: one line in all, the path first, on
# standard output when the clock was set, else on standard error with the reason.
# arguments | status | stream | the line in each language
one_line=(
    "--device nowhere|1|err|nowhere: the clock was not set: |nowhere：未设置时钟：|nowhere：未設定時鐘："
    "--time 2031-05-06T07:08:09|0|out|E:: the clock was set to 2031-05-06 07:08:09|E:：时钟已设置为 2031-05-06 07:08:09|E:：時鐘已設定為 2031-05-06 07:08:09"
)
for row in "${one_line[@]}"; do
    IFS='|' read -r arguments want_status stream lines <<<"$row"
    IFS='|' read -r -a wanted <<<"$lines"
    for i in "${!languages[@]}"; do
        status=0
        # shellcheck disable=SC2086 # the arguments' words
        LC_ALL=${languages[i]} "$ulvren" --simulate "$image" set-clock --one-line $arguments \
            >"$work/out" 2>"$work/err" || status=$?
        [ "$status" = "$want_status" ] && [ "$(cat "$work/out" "$work/err" | wc -l)" = 1 ] &&
            grep -qF "${wanted[i]}" "$work/$stream" ||
            fail "set-clock --one-line $arguments (${languages[i]}): exit $status: $(cat "$work/out" "$work/err")"
    done
done
grep -qx clock=20310506070809 "$image.state" || fail "set-clock --one-line did not set the clock"
echo "messages_test: all checks passed"
