#!/bin/sh
# In the kernel tests' guest (run by bench/kernel_format_benchmark.sh): the wall time of
# `ulvren format` of an 8 GiB recorder through SG_IO, sd and usb-storage, against dd writing the
# same number of zero sectors to the same disk in the same 120 KiB requests with O_DIRECT, which
# is what the USB path can do at best. Prints BENCH lines; REPS from ulvren.reps= (default 5).
. /test/gadgets.sh

readonly SECTORS=16777216  # 8 GiB
reps=$(sed -n 's/.*ulvren\.reps=\([0-9]*\).*/\1/p' /proc/cmdline)
reps=${reps:-5}

start_recorder $SECTORS || { cat "$responder_log"; exit 1; }
disk=$(recorder_disk)

# One traced format tells how many sectors a format writes, and in how many commands.
ulvren --trace /run/trace format --type public >/run/out 2>&1 || { cat /run/out; exit 1; }
written=$(awk '/^out cdb=2a/ { sub("len=", "", $3); s += $3 / 512; n++ } END { print s, n }' /run/trace)
sectors_written=${written% *}
commands=${written#* }
dd_requests=$(((sectors_written + 239) / 240))
echo "BENCH ulvren writes $sectors_written sectors in $commands WRITE(10) commands; dd writes $((dd_requests * 240)) in $dd_requests requests of 120 KiB"

now() { cut -d' ' -f1 /proc/uptime; }
elapsed() { awk -v s="$1" -v e="$(now)" 'BEGIN { printf "%.2f", e - s }'; }
time_format() {
    local start
    start=$(now)
    ulvren format --type public >/run/out 2>&1 || { cat /run/out; exit 1; }
    elapsed "$start"
}
time_dd() {
    local start
    start=$(now)
    dd if=/dev/zero of="$disk" bs=120K count=$dd_requests oflag=direct status=none || exit 1
    elapsed "$start"
}
median() { tr ' ' '\n' | grep . | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

formats="" dds=""
i=1
while [ $i -le "$reps" ]; do
    # Alternate which goes first, so that neither always meets the warmer state.
    if [ $((i % 2)) -eq 1 ]; then
        formats="$formats $(time_format)"
        dds="$dds $(time_dd)"
    else
        dds="$dds $(time_dd)"
        formats="$formats $(time_format)"
    fi
    i=$((i + 1))
done
format_median=$(echo "$formats" | median)
dd_median=$(echo "$dds" | median)
echo "BENCH ulvren format (s):$formats; median $format_median"
echo "BENCH dd 120 KiB O_DIRECT (s):$dds; median $dd_median"
echo "BENCH ratio of medians, ulvren / dd: $(awk -v u="$format_median" -v d="$dd_median" 'BEGIN { printf "%.2f", u / d }')"
