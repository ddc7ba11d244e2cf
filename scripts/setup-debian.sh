#!/usr/bin/env bash
# Installs the Debian packages that building and testing need. Does nothing when they are
# already there; otherwise needs root (or sudo).
#
#   scripts/setup-debian.sh            the Linux build and its tests
#   scripts/setup-debian.sh --windows  also the Windows cross build and Wine for its tests
set -euo pipefail

packages=(
    cmake ninja-build g++ clang-format pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libudev-dev
    qt6-base-dev xvfb xauth fonts-wqy-microhei librsvg2-bin icewm
    dpkg-dev file
    nasm
    dosfstools mtools sleuthkit qemu-system-x86
    util-linux mount bsdutils e2fsprogs
    time
    binutils-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix
)

windows=false
if [ "${1:-}" = "--windows" ]; then
    windows=true
    # Only the -posix compilers have std::thread and std::mutex. wine32 is the 32-bit loader
    # (from the i386 architecture); the preloaders spare Wine a slow start.
    packages+=(
        googletest
        g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686
        wine wine64 wine64-preloader wine32:i386 wine32-preloader:i386
        icoutils unzip
    )
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if $windows && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
