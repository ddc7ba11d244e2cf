#!/usr/bin/env bash
# Sets up, builds and starts ulvren-demo: the tool's window over a simulated recorder, with a
# second window that plugs and unplugs it and a USB disk that is no recorder. Where there is no
# display it runs under xvfb-run and makes only its start-up check: start, detect the recorder,
# print what the window shows, exit.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake --preset default >/dev/null
cmake --build --preset default --target ulvren-demo
demo=build/default/src/views/qt/ulvren-demo
if [[ -n ${DISPLAY:-}${WAYLAND_DISPLAY:-} ]]; then
    exec "$demo" "$@"
fi
echo "No display: running the demo's start-up check under xvfb-run (with a display it opens the window)."
exec xvfb-run -a "$demo" --check
