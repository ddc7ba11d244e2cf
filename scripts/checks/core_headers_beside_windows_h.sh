#!/usr/bin/env bash
# Compiles every header of the core in a translation unit that has included <windows.h> first, as
# the Windows host and views do, so that no name of ours collides with one of its macros.
#
# Usage: core_headers_beside_windows_h.sh COMPILER GENERATED_INCLUDE_DIR
set -euo pipefail
compiler=$1 generated=$2
cd "$(dirname "$0")/../.."

command -v "$compiler" >/dev/null || {
    echo "$compiler not found (Debian package g++-mingw-w64-x86-64-posix)"
    exit 1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
for header in $(git ls-files 'src/protocol/*.h' 'src/host/*.h' 'src/device/*.h' 'src/format/*.h' \
    'src/operations/*.h' 'src/ui/*.h' 'src/text/*.h'); do
    printf '#define NOMINMAX\n#define WIN32_LEAN_AND_MEAN\n#include <windows.h>\n#include "%s"\n' \
        "${header#src/}" >"$work/unit.cpp"
    if ! "$compiler" -std=c++20 -fsyntax-only -Wall -Wextra -Werror -Isrc -I"$generated" \
        "$work/unit.cpp" 2>"$work/errors"; then
        echo "--- $header"
        head -20 "$work/errors"
        failures=$((failures + 1))
    fi
done
if ((failures > 0)); then
    echo "$failures header(s) do not compile beside <windows.h>"
    exit 1
fi
echo "every core header compiles beside <windows.h>"
