#!/usr/bin/env bash
# ulvren-authorize takes nothing from its caller but "authorize" (with "--clock-on-plug" or
# without) or "revoke", and runs only as root: each refusal has its own exit status and happens
# before anything is looked at. (Its real run, which sends the identify command to USB disks, is
# left to the desktop guest.)
set -uo pipefail
helper=$1
failures=0

expect() {
    local want=$1 what=$2
    shift 2
    "$@" >/dev/null 2>&1
    local got=$?
    if [[ $got != "$want" ]]; then
        echo "FAIL: $what exited $got, expected $want"
        failures=$((failures + 1))
    fi
}

# want  what                      command
expect 2 "no argument"             "$helper"
expect 2 "two arguments"           "$helper" authorize revoke
expect 2 "an unknown action"       "$helper" grant
expect 2 "a path as action"        "$helper" /etc/udev/rules.d
expect 2 "revoke with the clock"   "$helper" revoke --clock-on-plug
expect 2 "the clock on its own"    "$helper" --clock-on-plug
expect 2 "the clock twice"         "$helper" authorize --clock-on-plug --clock-on-plug
if [[ $(id -u) == 0 ]]; then
    for action in authorize revoke "authorize --clock-on-plug"; do
        # shellcheck disable=SC2086 # the action's words
        expect 3 "$action as nobody" setpriv --reuid=65534 --regid=65534 --clear-groups "$helper" $action
    done
fi
((failures == 0)) && echo "the helper refuses what it must"
exit $((failures > 0))
