#!/usr/bin/env bash
# udevadm itself reads the authorisation helper's rules, plain and from hostile device strings,
# and must find nothing to complain about (an invalid key, a GOTO without its LABEL, a line it
# drops). The rules are put in /run/udev/rules.d of a private mount namespace only.
set -euo pipefail
writer=$1
if [[ $(id -u) != 0 ]] || ! command -v udevadm >/dev/null || ! command -v unshare >/dev/null; then
    echo "skipped: needs root, udevadm and unshare"
    exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$writer" "$work"
[[ $(ls "$work" | wc -l) == 6 ]] || { echo "FAIL: expected 6 rule files: $(ls "$work")"; exit 1; }
device=/sys/class/block/$(ls /sys/class/block | head -n 1)
unshare -m sh -c "mkdir -p /run/udev/rules.d && mount --bind '$work' /run/udev/rules.d &&
    udevadm test --action=change '$device'" >"$work.log" 2>&1 || true
grep -q "Reading rules file: /run/udev/rules.d/70-ulvren-" "$work.log" ||
    { echo "FAIL: udevadm did not read the rules"; cat "$work.log"; rm -f "$work.log"; exit 1; }
if grep -E "70-ulvren-.*(Invalid|invalid|no matching label|dropping|ignoring|error)" "$work.log"; then
    echo "FAIL: udevadm complains about the rules above"
    rm -f "$work.log"
    exit 1
fi
rm -f "$work.log"
echo "udevadm reads the rules without complaint"
