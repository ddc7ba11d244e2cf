#!/bin/sh
# In the kernel tests' guest (tests/kernel/run_kernel_tests.sh --guest this file): the wall time of
# `ulvren --all set-clock` over two recorders against two runs of `ulvren set-clock` with one
# recorder plugged in, beside the same two plain disks. Each of REPS rounds times one of each;
# prints BENCH lines with the medians. From the kernel command line: ulvren.reps= (default 9).
. /test/gadgets.sh

reps=$(sed -n 's/.*ulvren\.reps=\([0-9]*\).*/\1/p' /proc/cmdline)
reps=${reps:-9}
plug_plain_disks || exit 1
start_recorder 2097152 || { cat "$responder_log"; exit 1; }
start_second_recorder 2097152 || { cat "$responder_log"; exit 1; }

# The guest's uptime in seconds, to the hundredth.
now() { cut -d' ' -f1 /proc/uptime; }
elapsed() { awk -v s="$1" -v e="$(now)" 'BEGIN { printf "%.2f\n", e - s }'; }
set_clock() { ulvren "$@" set-clock --time 2032-03-04T05:06:07 >/run/out 2>&1 || { cat /run/out; exit 1; }; }
median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.2f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

round=0
while [ $round -lt "$reps" ]; do
    unplug_second_recorder || exit 1
    start=$(now)
    set_clock
    set_clock
    elapsed "$start" >>/run/twice_one
    plug_second_recorder || exit 1
    start=$(now)
    set_clock --all
    grep -c 'successfully' /run/out | grep -qx 2 || { cat /run/out; exit 1; }
    elapsed "$start" >>/run/all_two
    round=$((round + 1))
done
twice=$(median </run/twice_one)
all=$(median </run/all_two)
echo "BENCH two runs of set-clock, one recorder: median $twice s ($(tr '\n' ' ' </run/twice_one))"
echo "BENCH --all set-clock, two recorders: median $all s ($(tr '\n' ' ' </run/all_two))"
echo "BENCH ratio: $(awk -v a="$all" -v t="$twice" 'BEGIN { printf "%.2f", a / t }') (target <= 1.2)"
