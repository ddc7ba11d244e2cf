#!/usr/bin/env bash
# Times `ulvren format` of an 8 GiB and a 32 GiB recorder through a real kernel (SG_IO, sd,
# usb-storage, the simulated recorder on FunctionFS) against dd writing as many zero sectors to the
# same disk in 120 KiB O_DIRECT requests, in the same guest run, and prints both, their ratio and
# where the format's time goes. The guest is the kernel tests' (tests/kernel/run_kernel_tests.sh),
# booted once per size; see bench/kernel_format_guest.sh.
#
#   bench/kernel_format_benchmark.sh                  5 repetitions of each, at 8 and 32 GiB
#   REPS=9 SIZES="8" bench/kernel_format_benchmark.sh   more repetitions, one size
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
for gib in ${SIZES:-8 32}; do
    GUEST_APPEND="ulvren.reps=${REPS:-5} ulvren.gib=$gib" "$repo/tests/kernel/run_kernel_tests.sh" \
        --guest "$repo/bench/kernel_format_guest.sh"
done
