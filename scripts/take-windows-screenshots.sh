#!/usr/bin/env bash
# Takes the README's screenshots of the Win32 windows under Wine in Xvfb, with a window manager
# (IceWM) drawing the frames: the main window over a simulated password disk and both password
# dialogs, with the system locale set to English, Simplified and Traditional Chinese, into
# docs/screenshots/ (win32-main-*.png, win32-login-*.png, win32-change-password-*.png). Wine draws the dialogs' font, "新宋体", with
# WenQuanYi Micro Hei (scripts/wine-environment.sh maps it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh --windows --screenshots
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# Wine takes its system locale (and with it the ANSI code page) from the C library's.
locales=(en_US.UTF-8 zh_CN.UTF-8 zh_TW.UTF-8)
for locale in "${locales[@]}"; do
    if ! locale -a | grep -qix "${locale%.UTF-8}.utf8"; then
        echo "$locale UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
        generate=true
    fi
done
[ -z "${generate:-}" ] || $sudo locale-gen
source scripts/wine-environment.sh
cmake --preset windows-x64 >/dev/null
cmake --build --preset windows-x64 --target ulvren_screenshot_driver
build=build/windows-x64
out=docs/screenshots
mkdir -p "$out"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/home/.icewm"
cat >"$scratch/home/.icewm/preferences" <<'PREFERENCES'
TitleFontNameXft="WenQuanYi Micro Hei:size=10"
ShowTaskBar=0
PREFERENCES

for language in en_US:en zh_CN:zh-CN zh_TW:zh-TW; do
    LANG=${language%%:*}.UTF-8 LC_ALL='' xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" sh -c '
        LANG=C.UTF-8 HOME="$1/home" icewm >/dev/null 2>&1 &
        wine "$2/tests/views/win32/ulvren_screenshot_driver.exe" "$(winepath -w "$1/$3")"
        wineserver -k' sh "$scratch" "$build" "${language##*:}"
    for shot in main login change-password; do
        convert "$scratch/${language##*:}-$shot.bmp" "$out/win32-$shot-${language##*:}.png"
    done
done
ls "$out"
