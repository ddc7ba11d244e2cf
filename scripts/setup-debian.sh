#!/usr/bin/env bash
# Installs the Debian packages that building and testing need. Does nothing when they are
# already there; otherwise needs root (or sudo). Then installs, as the user who runs it, the
# npm packages that tests/format/fatfs/package-lock.json pins (FatFs for the format tests), unless
# they are installed already.
#
#   scripts/setup-debian.sh                the Linux build and its tests
#   scripts/setup-debian.sh --windows      also the Windows cross build and Wine for its tests
#   scripts/setup-debian.sh --screenshots  also what the screenshots take (ImageMagick, the C
#                                          library's locales, the Noto CJK faces, whose
#                                          Traditional face draws Taiwan's glyph forms)
#
# The package registry's index of one architecture can be caught mid-update ("File has unexpected
# size ... Mirror sync in progress?"). The update is tried three times; what still fails to
# install then fails the setup, except 32-bit Wine: its i386 libraries must match the installed
# 64-bit ones, so a stale i386 index keeps it out for as long as the registry is being updated.
# Then the registry's error is kept in build/wine32-unavailable.txt and the x86 Windows build
# is made without its tests under Wine (run-windows-tests.sh reports them as NOT RUN).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake ninja-build g++ clang-format pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libudev-dev libsystemd-dev udev
    qt6-base-dev xvfb xauth fonts-wqy-microhei librsvg2-bin icewm xdotool
    dpkg-dev file
    scdoc lintian appstream desktop-file-utils man-db bash-completion
    nasm
    dosfstools mtools sleuthkit qemu-system-x86 mmdebstrap nodejs
    util-linux mount bsdutils e2fsprogs
    time
    binutils-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix
)
# A Node.js from elsewhere may bring its own npm, which Debian's npm package would conflict with.
command -v npm >/dev/null || packages+=(npm)
wine32_packages=()
wine32_unavailable=build/wine32-unavailable.txt

windows=false
screenshots=false
for argument in "$@"; do
    case $argument in
        --windows) windows=true ;;
        --screenshots) screenshots=true ;;
        *)
            echo "usage: $0 [--windows] [--screenshots]" >&2
            exit 2
            ;;
    esac
done
if $screenshots; then
    packages+=(imagemagick locales fonts-noto-cjk)
fi
if $windows; then
    # Only the -posix compilers have std::thread and std::mutex. wine32 is the 32-bit loader
    # (from the i386 architecture); the preloaders spare Wine a slow start.
    packages+=(
        googletest
        g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686
        wine wine64 wine64-preloader
        icoutils unzip
    )
    wine32_packages=(wine32:i386 wine32-preloader:i386)
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if $windows && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi

missing_from() {
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            echo "$package"
    done
}
# FatFs for the format tests, from npm at the locked version, after Node itself. Without the
# registry the rest still works (the demo needs no FatFs); the format tests then fail and say why.
install_fatfs() {
    local fatfs=tests/format/fatfs
    [ "$fatfs/node_modules/.package-lock.json" -nt "$fatfs/package-lock.json" ] ||
        npm ci --prefix "$fatfs" --no-audit --no-fund ||
        echo "npm ci in $fatfs failed: the format tests need js-fatfs" >&2
}

mapfile -t missing < <(missing_from "${packages[@]}")
mapfile -t missing_wine32 < <(missing_from "${wine32_packages[@]}")
if [ ${#missing_wine32[@]} -eq 0 ]; then
    rm -f "$wine32_unavailable"
fi
if [ ${#missing[@]} -eq 0 ] && [ ${#missing_wine32[@]} -eq 0 ]; then
    install_fatfs
    exit 0
fi

export DEBIAN_FRONTEND=noninteractive
update_errors=$(mktemp)
trap 'rm -f "$update_errors"' EXIT
for attempt in 1 2 3; do
    if $sudo apt-get update -qq 2>"$update_errors"; then
        : >"$update_errors"
        break
    fi
    cat "$update_errors" >&2
    if [ "$attempt" -lt 3 ]; then
        echo "apt-get update failed (attempt $attempt of 3); trying again in 20 s" >&2
        sleep 20
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ ${#missing_wine32[@]} -gt 0 ]; then
    echo "Installing: ${missing_wine32[*]}"
    install_errors=$(mktemp)
    if $sudo apt-get install -y -qq --no-install-recommends "${missing_wine32[@]}" 2>"$install_errors"; then
        rm -f "$wine32_unavailable"
    else
        cat "$install_errors" >&2
        mkdir -p "$(dirname "$wine32_unavailable")"
        { grep -h '^E:' "$update_errors" "$install_errors" || cat "$install_errors"; } \
            >"$wine32_unavailable"
        echo "32-bit Wine could not be installed; the x86 Windows tests will not run:" >&2
        cat "$wine32_unavailable" >&2
    fi
    rm -f "$install_errors"
fi
install_fatfs
