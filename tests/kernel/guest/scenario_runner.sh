# The scenario loop of both guests (sourced, POSIX sh). A scenario is a function scenario_NAME that
# runs in a subshell with set -e; it says why it failed or was skipped in a last line "FAIL: REASON"
# or "SKIP: REASON" (fail and skip below).

fail() { echo "FAIL: $*"; exit 1; }
skip() { echo "SKIP: $*"; exit 0; }
now() { cut -d' ' -f1 /proc/uptime; }

# Runs scenario_NAME for each NAME in LIST, or only those that ulvren.only=a,b on the kernel
# command line names, and prints for each "SCENARIO PASS NAME (SECONDS s)", "SCENARIO SKIP NAME:
# REASON" or "SCENARIO FAIL NAME: REASON" followed by the scenario's output, the responder's last
# lines, what the guest's `after_failure` prints and the kernel's last lines. `after_scenario`
# puts the devices back for the next one. The scenario's BENCH lines are passed on. Returns the
# number of failed scenarios.
run_scenarios() { # LIST
    local only name start result reason failed=0
    only=$(sed -n 's/.*ulvren\.only=\([a-z_,]*\).*/\1/p' /proc/cmdline | tr ',' ' ')
    for name in $1; do
        if [ -n "$only" ] && ! echo " $only " | grep -q " $name "; then
            continue
        fi
        start=$(now)
        # Not in an if: a failing command ends the scenario only where its status is not tested.
        (set -e; "scenario_$name") >/run/scenario.log 2>&1
        result=$?
        grep '^BENCH' /run/scenario.log || true
        if [ $result -ne 0 ]; then
            failed=$((failed + 1))
            reason=$(sed -n 's/^FAIL: //p' /run/scenario.log | tail -n 1)
            echo "SCENARIO FAIL $name: ${reason:-a command ended with status $result}"
            sed 's/^/  | /' /run/scenario.log
            echo "  | --- responder, guest and kernel, last lines ---"
            tail -n 5 "$responder_log" | sed 's/^/  | /'
            after_failure 2>&1 | sed 's/^/  | /'
            dmesg | tail -n 15 | sed 's/^/  | /'
        elif grep -q '^SKIP: ' /run/scenario.log; then
            echo "SCENARIO SKIP $name: $(sed -n 's/^SKIP: //p' /run/scenario.log)"
        else
            echo "SCENARIO PASS $name ($(awk -v s="$start" -v e="$(now)" 'BEGIN { printf "%.1f", e - s }') s)"
        fi
        after_scenario
    done
    return $failed
}
