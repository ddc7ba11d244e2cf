#!/usr/bin/env bash
# Sets up a Debian machine for the Windows build, cross-builds x86_64 and x86 with MinGW-w64
# (warnings as errors) and runs their tests under Wine.
#
#   scripts/run-windows-tests.sh [x64|x86]...   (both when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."
# Once, not again when the script runs itself under xvfb-run below.
[ -n "${ULVREN_WINDOWS_SETUP_DONE:-}" ] || scripts/setup-debian.sh --windows
export ULVREN_WINDOWS_SETUP_DONE=1
# The window tests need a display: a virtual one, unless there is one.
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$0" "$@"
fi
source scripts/wine-environment.sh

not_run=""
architectures=("$@")
[ ${#architectures[@]} -gt 0 ] || architectures=(x64 x86)

# One Wine server for the whole run, with its desktop up, so that no test pays for their start.
wineserver -p
trap 'wineserver -k || true' EXIT
wine cmd /c exit >/dev/null 2>&1 || true

# The x86 build runs its generators (texts, dialog templates) at build time under 32-bit Wine.
# Without it, it runs the x64 build's, which write the same files; prints the options for that.
generators_for_x86() {
    local text="" resource=""
    if [ -f build/wine32-unavailable.txt ]; then
        cmake --preset windows-x64 >/dev/null
        cmake --build --preset windows-x64 --target ulvren_text_generator ulvren_resource_generator >&2
        local emulator tool tools=$PWD/build/windows-x86-generators
        # The Wine that runs the x64 build's programs (its toolchain's emulator).
        emulator=$(command -v wine)
        mkdir -p "$tools"
        for tool in text/ulvren_text_generator views/win32/resources/ulvren_resource_generator; do
            printf '#!/bin/sh\nexec %s %s "$@"\n' "$emulator" "$PWD/build/windows-x64/src/$tool.exe" \
                >"$tools/${tool##*/}"
            chmod +x "$tools/${tool##*/}"
        done
        text=$tools/ulvren_text_generator
        resource=$tools/ulvren_resource_generator
    fi
    echo "-DULVREN_TEXT_GENERATOR=$text" "-DULVREN_RESOURCE_GENERATOR=$resource"
}

for architecture in "${architectures[@]}"; do
    preset="windows-$architecture"
    configure_options=()
    [ "$architecture" != x86 ] || read -r -a configure_options < <(generators_for_x86)
    cmake --preset "$preset" "${configure_options[@]}"
    cmake --build --preset "$preset"
    if [ "$architecture" = x86 ] && [ -f build/wine32-unavailable.txt ]; then
        # The one case where tests may be left out: the package registry kept 32-bit Wine from
        # this machine (setup-debian.sh). The build above still holds warnings as errors, and the
        # zip is still made and checked; the run's summary says loudly what did not run.
        not_run+="NOT RUN: the x86 Windows tests under Wine: 32-bit Wine could not be installed:
$(sed 's/^/    /' build/wine32-unavailable.txt)
"
    else
        excluded=()
        if [ "$architecture" = x86 ] && $QEMU_I386_EMULATION; then
            # Under qemu-user, Wine's 32-bit threads fault in the emulator (illegal instructions in
            # Wine's own code) and large allocations fail in its address space: the cases that start
            # threads, and the formats that keep a whole large FAT in memory, run on the other
            # architecture and on the Linux build only.
            excluded=(--exclude-regex "$(tr '\n' '|' < scripts/qemu-i386-exclusions.txt | sed 's/|$//')")
            echo "x86 under qemu-user: leaving out the cases in scripts/qemu-i386-exclusions.txt"
        fi
        ctest --preset "$preset" -j2 --no-tests=error --timeout 300 "${excluded[@]}"
    fi
    # The release zip: the three programs, the readme and the licence (the project's, with Windows
    # line ends), nothing else.
    (cd "build/$preset" && cpack >/dev/null && zip=$(ls ulvren-tool-*-"$preset".zip) &&
        unzip -Z1 "$zip" | LC_ALL=C sort |
        diff -u <(printf '%s\n' LICENSE.txt README.txt UlvrenTool.exe UlvrenToolDemo.exe ulvren.exe) - &&
        unzip -p "$zip" LICENSE.txt | cmp - <(sed 's/$/\r/' ../../LICENSE) &&
        unzip -p "$zip" README.txt | grep -q 'LICENSE.txt' && ls -l "$zip")
done
if [ -n "$not_run" ]; then
    printf '\n%s' "$not_run" >&2
    [ -z "${ULVREN_RUN_SUMMARY:-}" ] || printf '%s' "$not_run" >>"$ULVREN_RUN_SUMMARY"
fi
