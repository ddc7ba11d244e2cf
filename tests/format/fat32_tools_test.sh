#!/usr/bin/env bash
# Formats a simulated recorder of SECTORS sectors with the ulvren binary, then lets file-system
# tools written elsewhere judge the image: fsck.fat, mtools and sleuthkit's fsstat. Then it fills
# the volume with 40 files (more than the first root sector holds), formats it again and has the
# tools judge that too: nothing of the old root directory may come back. Last, FatFs (the FAT
# library of embedded recorders) takes a fresh format, writes files into it and reads them back,
# and fsck.fat then finds nothing at all to report. With --fatfs-only, FatFs alone judges a fresh
# format: for volumes of more than 2^27 clusters, on which fsck.fat 4.2 crashes.
#
#   fat32_tools_test.sh ULVREN SECTORS FAT_SECTORS [--fatfs-only]
support=$(dirname "${BASH_SOURCE[0]}")/../support
source "$support/shell_test.sh"
source "$support/fsck_fat.sh"

ulvren=$1
sectors=$2
fat=$3
fatfs_only=${4:-}

fatfs=$(dirname "${BASH_SOURCE[0]}")/fatfs
for tool in fsck.fat mcopy minfo fsstat node; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup-debian.sh)"
done
[[ -f $fatfs/node_modules/js-fatfs/package.json ]] ||
    fail "js-fatfs is not installed in $fatfs (scripts/setup-debian.sh runs npm ci there)"

image=$work/recorder.img

format_and_judge() {
    "$ulvren" --simulate "$image" --size "$sectors" format --type public >"$work/format.out"
    sed -i 's/\r$//' "$work/format.out"  # the Windows build ends its lines with CR LF
    grep -qx 'Format successfully!' "$work/format.out" || fail "format: $(cat "$work/format.out")"

    # fsck.fat: nothing beyond the notice that FSInfo gives no free count, on an empty volume
    # whose root directory takes one cluster.
    unexpected=$(fsck_fat_surprises "$image" "$work/fsck.out")
    cat "$work/fsck.out"
    [[ -z $unexpected ]] || fail "fsck.fat reported: $unexpected"
    grep -qF "$image: 0 files, 1/" "$work/fsck.out" || fail "fsck.fat found files"
    grep -q '^Free cluster summary uninitialized' "$work/fsck.out" || fail "fsck.fat output changed"

    # minfo reads the geometry from the boot sector.
    minfo -i "$image" >"$work/minfo.out"
    for line in 'sector size: 512 bytes' 'cluster size: 8 sectors' 'reserved (boot) sectors: 38' \
        'fats: 2' "Big fatlen=$fat" "big size: $sectors sectors" 'rootCluster=2' \
        'infoSector location=1' 'backup boot sector=6'; do
        grep -qxF "$line" "$work/minfo.out" || fail "minfo lacks '$line'"
    done

    # mtools copies a file in and back unchanged.
    head -c 300000 /dev/urandom >"$work/sample.bin"
    mcopy -i "$image" "$work/sample.bin" ::/SAMPLE.BIN
    mcopy -i "$image" ::/SAMPLE.BIN "$work/back.bin"
    cmp "$work/sample.bin" "$work/back.bin" || fail "the file came back changed"

    # fsstat sees FAT32 with 4 KiB clusters and the structures where the layout puts them.
    fsstat "$image" >"$work/fsstat.out"
    data=$((38 + 2 * fat))
    for line in 'File System Type: FAT32' 'Cluster Size: 4096' 'Sectors before file system: 0' \
        "* FAT 0: 38 - $((37 + fat))" "* FAT 1: $((38 + fat)) - $((37 + 2 * fat))" \
        "* Data Area: $data - $((sectors - 1))" "*** Root Directory: $data - $((data + 7))"; do
        grep -qxF "$line" "$work/fsstat.out" || fail "fsstat lacks '$line'"
    done
}

# FatFs on a fresh format: it finds as many free clusters as the geometry gives, writes its files
# and reads them back.
fresh_format_through_fatfs() {
    "$ulvren" --simulate "$image" --size "$sectors" format --type public >/dev/null ||
        fail "the format for FatFs failed"
    node "$fatfs/fatfs_peer.mjs" "$image" $(((sectors - 38 - 2 * fat) / 8)) || fail "FatFs refused it"
}

if [[ $fatfs_only == --fatfs-only ]]; then
    fresh_format_through_fatfs
    echo "PASS: $sectors sectors, FAT of $fat sectors, through FatFs"
    exit 0
fi

format_and_judge

# Old data: 40 files fill the root cluster past its first sector (16 entries).
mkdir "$work/old"
for i in $(seq 40); do echo "$i" >"$work/old/f$i.txt"; done
MTOOLS_SKIP_CHECK=1 mcopy -i "$image" "$work"/old/f*.txt ::/
format_and_judge

# What FatFs leaves (its free count in FSInfo included) is a volume fsck.fat has nothing to say
# about.
fresh_format_through_fatfs
fsck.fat -n "$image" >"$work/fsck.out" 2>&1 || fail "fsck.fat -n exited $?: $(cat "$work/fsck.out")"
[[ $(grep -cv -e '^fsck\.fat [0-9.]* (' -e "^$image: 4 files, " "$work/fsck.out") -eq 0 ]] ||
    fail "fsck.fat -n after FatFs: $(cat "$work/fsck.out")"

echo "PASS: $sectors sectors, FAT of $fat sectors, fresh, over old files and through FatFs"
