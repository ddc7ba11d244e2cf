#!/bin/sh
# In the kernel tests' guest (run by bench/kernel_format_benchmark.sh): the wall time of
# `ulvren format` of a recorder through SG_IO, sd and usb-storage, against dd writing the same
# number of zero sectors to the same disk in the same 120 KiB requests with O_DIRECT, which is
# what the USB path can do at best, and where the format's time goes. Prints BENCH lines.
# From the kernel command line: ulvren.reps= (default 5), ulvren.gib= (default 8).
. /test/gadgets.sh

word() { sed -n "s/.*ulvren\\.$1=\\([0-9]*\\).*/\\1/p" /proc/cmdline; }
reps=$(word reps)
reps=${reps:-5}
gib=$(word gib)
gib=${gib:-8}

opcodes=/run/recorder.opcodes
recorder_options="--opcode-log $opcodes"
start_recorder $((gib * 2097152)) || { cat "$responder_log"; exit 1; }
disk=$(recorder_disk)

# One traced format tells how many sectors a format writes, and in how many commands.
ulvren --trace /run/trace format --type public >/run/out 2>&1 || { cat /run/out; exit 1; }
written=$(awk '/^out cdb=2a/ { sub("len=", "", $3); s += $3 / 512; n++ } END { print s, n }' /run/trace)
sectors_written=${written% *}
dd_requests=$(((sectors_written + 239) / 240))
echo "BENCH $gib GiB: ulvren writes $sectors_written sectors in ${written#* } WRITE(10) commands; dd writes $((dd_requests * 240)) in $dd_requests requests of 120 KiB"
echo "BENCH commands of one format, in order: $(awk '/^(in|out) cdb=/ { print substr($2, 5, 2) }' /run/trace | uniq -c | awk '{ printf "%s%s", sep, ($1 > 1 ? $2 "x" $1 : $2); sep = " " }')"

# The responder stamps each command's arrival, and each "mark" on its control channel, on one
# clock; a mark's round trip (a FIFO each way, shell builtins only) ends before the timed command
# starts. Run N is what lies between its two marks in the log.
mark_count=0
mark() {
    control mark >/dev/null || exit 1
    mark_count=$((mark_count + 1))
}
time_format() {
    mark
    ulvren format --type public >/run/out 2>&1 || { cat /run/out; exit 1; }
    mark
    echo "format $((mark_count - 1)) $mark_count" >>/run/runs
}
time_dd() {
    mark
    dd if=/dev/zero of="$disk" bs=120K count=$dd_requests oflag=direct status=none || exit 1
    mark
    echo "dd $((mark_count - 1)) $mark_count" >>/run/runs
}
median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.3f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
column() { awk -v c="$1" '{ print $c }' "$2" | median; }

# Splits each format, from the recorder's side, into: the start (the program, the drive scan and
# opening the device, up to the first command), the commands before the first write (the tool's
# and the kernel's for each open and close of the disk), the writes, and what follows the last
# write (unmount, re-read, close and exit). Also keeps the last format's commands before its
# first write, each with its arrival after the start.
split_runs() {
    local what first last
    while read -r what first last; do
        awk -v a="$first" -v b="$last" -v what="$what" '
            $1 == "mark" { n++; if (n == a) s = $2; if (n == b) { e = $2; exit } next }
            n == a && $1 == "opcode" {
                if (c == "") c = $3
                if ($2 == "2a") { if (w1 == "") w1 = $3; wn = $3 } else if (w1 == "") { list = list sep $2 " +" sprintf("%.3f", $3 - s); sep = "," }
            }
            END {
                if (what == "dd") { printf "%.3f\n", e - s >>"/run/dds"; exit }
                printf "%.3f %.3f %.3f %.3f %.3f\n", e - s, c - s, w1 - c, wn - w1, e - wn >>"/run/formats"
                print list >"/run/first-commands"
            }' "$opcodes"
    done </run/runs
}

i=1
while [ $i -le "$reps" ]; do
    # Alternate which goes first, so that neither always meets the warmer state.
    if [ $((i % 2)) -eq 1 ]; then
        time_format
        time_dd
    else
        time_dd
        time_format
    fi
    i=$((i + 1))
done
split_runs
format_median=$(column 1 /run/formats)
dd_median=$(median </run/dds)
echo "BENCH $gib GiB ulvren format (s): $(cut -d' ' -f1 /run/formats | tr '\n' ' ')median $format_median"
echo "BENCH $gib GiB dd 120 KiB O_DIRECT (s): $(tr '\n' ' ' </run/dds)median $dd_median"
echo "BENCH $gib GiB ulvren format, medians (s): start $(column 2 /run/formats), commands before the first write $(column 3 /run/formats), writes $(column 4 /run/formats), after the last write $(column 5 /run/formats)"
echo "BENCH $gib GiB the last format's commands before the first write, arriving after its start (s): $(cat /run/first-commands)"
echo "BENCH $gib GiB ratio of medians, ulvren / dd: $(awk -v u="$format_median" -v d="$dd_median" 'BEGIN { printf "%.2f", u / d }')"
