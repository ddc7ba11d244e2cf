#!/usr/bin/env bash
# Times `ulvren format` on a fresh simulated recorder against mkfs.fat making the same geometry on
# a sparse image of the same size, in the same run, and prints wall time and peak memory (max RSS)
# of each, their medians and the ratio of the median wall times (ulvren / mkfs.fat). Then it
# measures ulvren alone on the largest device FAT32 holds with 4 KiB clusters (2,151,677,909
# sectors, about 1 TiB; 268,435,445 clusters).
#
#   bench/format_benchmark.sh            builds with the bench preset if needed, 5 repetitions
#   REPS=9 bench/format_benchmark.sh     more repetitions
#   ULVREN=/path/to/ulvren ...           time another build instead
#   SKIP_LARGEST=1 ...                   leave out the largest run (it writes 2 GiB of FAT)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
reps=${REPS:-5}

for tool in mkfs.fat /usr/bin/time truncate; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (packages dosfstools, time)" >&2; exit 1; }
done

if [[ -z ${ULVREN:-} ]]; then
    (cd "$repo" && cmake --preset bench >/dev/null && cmake --build build/bench --target ulvren >/dev/null)
    ULVREN=$repo/build/bench/src/cli/ulvren
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
image=$work/device.img

# Runs a command under /usr/bin/time; prints "<wall seconds> <max RSS KiB>".
measure() {
    local start end
    start=$EPOCHREALTIME
    /usr/bin/time -f '%M' -o "$work/rss" "$@" >/dev/null
    end=$EPOCHREALTIME
    awk -v s="$start" -v e="$end" -v rss="$(tail -n 1 "$work/rss")" \
        'BEGIN { printf "%.3f %s\n", e - s, rss }'
}

run_ulvren() {  # SECTORS
    rm -f "$image" "$image.state"
    measure "$ULVREN" --simulate "$image" --size "$1" format --type public
}

# mkfs.fat ends with an fsync of its image; the simulated recorder never syncs its image. This
# variant adds the same fsync (coreutils' `sync FILE`) to ulvren's run, so the comparison is fair.
run_ulvren_synced() {  # SECTORS
    rm -f "$image" "$image.state"
    measure bash -c '"$1" --simulate "$2" --size "$3" format --type public && sync "$2"' \
        _ "$ULVREN" "$image" "$1"
}

run_mkfs() {  # SECTORS
    rm -f "$image" "$image.state"
    truncate -s $(($1 * 512)) "$image"
    measure mkfs.fat -F 32 -S 512 -s 8 -R 38 -f 2 "$image"
}

median() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

echo "machine: $(nproc) cores, $(uname -sr), $reps repetitions"
echo
echo "| size | tool | wall times (s) | median wall (s) | max RSS (KiB) | median max RSS (KiB) |"
echo "|---|---|---|---|---|---|"
for size in "32 GiB:67108864" "64 GiB:134217728"; do
    label=${size%%:*}
    sectors=${size##*:}
    : >"$work/ulvren.txt"
    : >"$work/synced.txt"
    : >"$work/mkfs.txt"
    for ((rep = 1; rep <= reps; rep++)); do
        # Alternate which tool goes first, so neither always meets a warmer cache.
        if ((rep % 2)); then
            run_ulvren "$sectors" >>"$work/ulvren.txt"
            run_ulvren_synced "$sectors" >>"$work/synced.txt"
            run_mkfs "$sectors" >>"$work/mkfs.txt"
        else
            run_mkfs "$sectors" >>"$work/mkfs.txt"
            run_ulvren_synced "$sectors" >>"$work/synced.txt"
            run_ulvren "$sectors" >>"$work/ulvren.txt"
        fi
    done
    for tool in ulvren synced mkfs; do
        walls=$(cut -d' ' -f1 "$work/$tool.txt" | paste -sd' ')
        rss=$(cut -d' ' -f2 "$work/$tool.txt" | paste -sd' ')
        median_wall=$(cut -d' ' -f1 "$work/$tool.txt" | median)
        median_rss=$(cut -d' ' -f2 "$work/$tool.txt" | median)
        printf '| %s | %s | %s | %s | %s | %s |\n' "$label" "$(case $tool in mkfs) echo mkfs.fat ;; synced) echo 'ulvren + fsync' ;; *) echo ulvren ;; esac)" \
            "$walls" "$median_wall" "$rss" "$median_rss"
        printf '%s\n' "$median_wall" >"$work/$tool.median"
    done
    awk -v label="$label" -v u="$(cat "$work/ulvren.median")" -v m="$(cat "$work/mkfs.median")" \
        'BEGIN { printf "| %s | ratio of median wall times, ulvren / mkfs.fat | | %.2f | | |\n", label, u / m }'
    awk -v label="$label" -v u="$(cat "$work/synced.median")" -v m="$(cat "$work/mkfs.median")" \
        'BEGIN { printf "| %s | ratio of median wall times, ulvren + fsync / mkfs.fat | | %.2f | | |\n", label, u / m }'
done

if [[ -z ${SKIP_LARGEST:-} ]]; then
    read -r wall rss < <(run_ulvren 2151677909)
    printf '| largest FAT32 (2,151,677,909 sectors) | ulvren | %s | %s | %s | %s |\n' \
        "$wall" "$wall" "$rss" "$rss"
fi
rm -f "$image" "$image.state"
