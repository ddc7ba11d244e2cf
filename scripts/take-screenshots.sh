#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb, with a window manager (IceWM) drawing the frames:
# the main window over a detected password disk and both password dialogs, in English,
# Simplified and Traditional Chinese, into docs/screenshots/ (main-*.png, login-*.png,
# change-password-*.png).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh --screenshots
cmake --preset default >/dev/null
cmake --build --preset default --target ulvren_screenshots
out=docs/screenshots
mkdir -p "$out"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_RUNTIME_DIR=$scratch

for language in en_US:en zh_CN:zh-CN zh_TW:zh-TW; do
    # The window manager's titles in the face that the tool takes for that language; no task bar.
    case $language in
        zh_CN:*) title_face="Noto Sans CJK SC" ;;
        zh_TW:*) title_face="Noto Sans CJK TC" ;;
        *) title_face="sans-serif" ;;
    esac
    mkdir -p "$scratch/home/.icewm"
    printf 'TitleFontNameXft="%s:size=10"\nShowTaskBar=0\n' "$title_face" \
        >"$scratch/home/.icewm/preferences"
    # The window manager runs in a locale that the C library has; the tool in the one shown.
    LANG=${language%%:*}.UTF-8 LC_ALL='' LC_MESSAGES='' \
        xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" sh -c '
            LANG=C.UTF-8 HOME="$1/home" icewm >/dev/null 2>&1 &
            build/default/tests/views/ulvren_screenshots "$2" "$3"' \
        sh "$scratch" "$out" "${language##*:}"
done
ls "$out"
