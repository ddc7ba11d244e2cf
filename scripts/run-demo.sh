#!/usr/bin/env bash
# Sets up, builds, and runs the tool against a simulated 8 GiB recorder kept in demo.img.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake --preset default >/dev/null
cmake --build --preset default --target ulvren
ulvren=build/default/src/cli/ulvren
set -x
"$ulvren" --simulate demo.img detect
"$ulvren" --simulate demo.img format --type public
