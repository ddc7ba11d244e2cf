#!/usr/bin/env bash
# Times `ulvren format` of an 8 GiB recorder through a real kernel (SG_IO, sd, usb-storage, the
# simulated recorder on FunctionFS) against dd writing as many zero sectors to the same disk in
# 120 KiB O_DIRECT requests, in the same guest run, and prints both and their ratio. The guest is
# the kernel tests' (tests/kernel/run_kernel_tests.sh); see bench/kernel_format_guest.sh.
#
#   bench/kernel_format_benchmark.sh          5 repetitions of each
#   REPS=9 bench/kernel_format_benchmark.sh   more
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
GUEST_APPEND="ulvren.reps=${REPS:-5}" exec "$repo/tests/kernel/run_kernel_tests.sh" \
    --guest "$repo/bench/kernel_format_guest.sh"
