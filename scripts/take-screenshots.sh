#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb, with a window manager (IceWM) drawing the frames:
# the main window over a detected password disk and both password dialogs, in English,
# Simplified and Traditional Chinese, into docs/screenshots/ (main-*.png, login-*.png,
# change-password-*.png).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake --preset default >/dev/null
cmake --build --preset default --target ulvren_screenshots
out=docs/screenshots
mkdir -p "$out"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The window manager's titles in a face that holds Chinese; no task bar.
mkdir -p "$scratch/home/.icewm"
cat >"$scratch/home/.icewm/preferences" <<'PREFERENCES'
TitleFontNameXft="WenQuanYi Micro Hei:size=10"
ShowTaskBar=0
PREFERENCES
export XDG_RUNTIME_DIR=$scratch

for language in en_US:en zh_CN:zh-CN zh_TW:zh-TW; do
    # The window manager runs in a locale that the C library has; the tool in the one shown.
    LANG=${language%%:*}.UTF-8 LC_ALL='' LC_MESSAGES='' \
        xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" sh -c '
            LANG=C.UTF-8 HOME="$1/home" icewm >/dev/null 2>&1 &
            build/default/tests/views/ulvren_screenshots "$2" "$3"' \
        sh "$scratch" "$out" "${language##*:}"
done
ls "$out"
