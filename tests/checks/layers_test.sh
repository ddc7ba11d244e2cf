#!/usr/bin/env bash
# The layering check against a copy of src/ with one include planted at a time: each must fail
# with its reason, while the copy as it is passes.
set -euo pipefail
check=$(cd "$(dirname "$0")/../.." && pwd)/scripts/checks/layers.sh
source_tree=$(dirname "$check")/../../src
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

fresh_copy() {
    rm -rf "$work/src"
    cp -r "$source_tree" "$work/src"
}

fresh_copy
"$check" "$work" >/dev/null || fail "the unchanged tree does not pass: $("$check" "$work")"

# what | file under src/ | line appended to it | text in the check's report
cases=(
    "one host from another|hosts/linux/linux_platform.cpp|#include \"hosts/windows/windows_host.h\"|does not include another platform's hosts/windows"
    "POSIX from Windows|hosts/windows/windows_platform.cpp|#include \"hosts/posix/message_locale.h\"|does not include another platform's hosts/posix"
    "one view from another|views/qt/tool_app.cpp|#include \"views/win32/tool_app.h\"|does not include another platform's views/win32"
    "a layer above|device/usb_disk.cpp|#include \"ui/main_window.h\"|ui (layer ui) is not beneath device"
    "a host below the front ends|operations/device_session.cpp|#include \"hosts/simulated/simulated_host.h\"|is not beneath operations"
    "the seam and the texts|host/platform.h|#include \"text/ui_language.h\"|text (layer text) is not beneath host"
    "the firmware model in the device layer|device/discovery.cpp|#include \"recorder/recorder_firmware.h\"|is not beneath device"
    "an OS header in the core|ui/clock_string.cpp|#include <unistd.h>|includes <unistd.h>"
    "Windows in the Qt view|views/qt/tool_app.cpp|#include <windows.h>|includes <windows.h>"
    "Qt in the Win32 view|views/win32/tool_app.cpp|#include <QWidget>|includes <QWidget>"
    "udev beyond its one file|views/qt/tool_app.cpp|#include <libudev.h>|includes <libudev.h>"
    "a folder in no layer|gadgets/gadget.cpp|#include \"protocol/scsi.h\"|its folder is in no layer"
    "a cycle within a front end|views/qt/tool_app.cpp|#include \"views/qt/demo/device_panel.h\"|in a cycle"
)
for row in "${cases[@]}"; do
    IFS='|' read -r what file line expected <<<"$row"
    fresh_copy
    mkdir -p "$(dirname "$work/src/$file")"
    echo "$line" >>"$work/src/$file"
    if report=$("$check" "$work"); then
        fail "$what: the check passes"
    fi
    [[ $report == *"$expected"* ]] || fail "$what: the report lacks \"$expected\": $report"
done
echo "the layering check catches all ${#cases[@]} planted includes"
