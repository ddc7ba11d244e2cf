#!/usr/bin/env bash
# The close box pressed during a format, TRIES times (20 by default): ulvren-demo under Xvfb and
# icewm, over a 128 GiB recorder whose adapter takes one sector per command, so that the format
# lasts; Format is clicked, then icewm's close box 0.1 to 1 s later, as a user does with the
# mouse. A try counts as ignored when the window still shows 3 s after the press. Needs xdotool.
# Usage: close_box_benchmark.sh [BUILD_DIR] (build/default by default).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$repo/build/default}
tries=${TRIES:-20}
command -v xdotool >/dev/null || { echo "close_box_benchmark: needs xdotool" >&2; exit 2; }

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work XDG_DATA_HOME=$work/data LANG=en_US.UTF-8
chmod 700 "$work"
mkdir -p "$work/data/ulvren-demo"
"$build/src/cli/ulvren" --simulate "$work/data/ulvren-demo/recorder.img" \
    --size $((128 * 1024 * 1024 * 2)) --max-transfer 1 detect >/dev/null
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 & pids+=($!)
export DISPLAY=$display
sleep 1
icewm >/dev/null 2>&1 & pids+=($!)
sleep 2

shown() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true; }
ignored=0
for ((i = 0; i < tries; i++)); do
    "$build/src/views/qt/ulvren-demo" >>"$work/demo.log" 2>&1 &
    demo=$!
    window=""
    for _ in $(seq 100); do window=$(shown '^Ulvren Tool$'); [[ -n $window ]] && break; sleep 0.1; done
    sleep 2
    eval "$(xdotool getwindowgeometry --shell "$window")"
    # Format, at its place in the window; then the frame's close box, top right above the window.
    xdotool mousemove --window "$window" 340 50 click 1
    sleep "$(awk -v seed=$RANDOM 'BEGIN { srand(seed); printf "%.2f", 0.1 + rand() * 0.9 }')"
    xdotool mousemove $((X + WIDTH - 13)) $((Y - 10)) click 1
    result=ignored
    for _ in $(seq 30); do [[ -z $(shown '^Ulvren Tool$') ]] && { result=closed; break; }; sleep 0.1; done
    [[ $result == ignored ]] && ignored=$((ignored + 1))
    echo "try $((i + 1)): $result"
    # The program ends once the format is done; a box that shows is answered.
    for _ in $(seq 600); do
        kill -0 "$demo" 2>/dev/null || break
        box=$(shown '^ulvren-demo$')
        [[ -n $box ]] && xdotool key --window "$box" Return
        sleep 0.5
    done
    kill "$demo" 2>/dev/null || true
    wait "$demo" 2>/dev/null || true
done
echo "close box during a format: ignored $ignored of $tries"
