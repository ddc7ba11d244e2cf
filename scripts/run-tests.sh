#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds with warnings as errors and the address and undefined
# behaviour sanitizers, and runs every test; then does the same for the Windows builds under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
# What a part of the run could not run, said again at its end (run-windows-tests.sh).
ULVREN_RUN_SUMMARY=$(mktemp)
export ULVREN_RUN_SUMMARY
trap 'rm -f "$ULVREN_RUN_SUMMARY"' EXIT
scripts/setup-debian.sh
cmake --preset ci
cmake --build --preset ci
ctest --preset ci -j2 --no-tests=error
# The .deb: built, installed and started from the installed paths.
scripts/package-check.sh
# The Windows builds, x86_64 and x86, and their tests under Wine.
scripts/run-windows-tests.sh
if [ -s "$ULVREN_RUN_SUMMARY" ]; then
    echo
    echo "================ Summary: not every test ran ================"
    cat "$ULVREN_RUN_SUMMARY"
fi
