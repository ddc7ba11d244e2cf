#!/usr/bin/env bash
# Installs the Debian packages that building and testing need. Does nothing when they are
# already there; otherwise needs root (or sudo).
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

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
