#!/usr/bin/env bash
# Formats a simulated recorder of SECTORS sectors with the ulvren binary, then lets file-system
# tools written elsewhere judge the image: fsck.fat, mtools and sleuthkit's fsstat. Then it fills
# the volume with 40 files (more than the first root sector holds), formats it again and has the
# tools judge that too: nothing of the old root directory may come back.
#
#   fat32_tools_test.sh ULVREN SECTORS FAT_SECTORS
support=$(dirname "${BASH_SOURCE[0]}")/../support
source "$support/shell_test.sh"
source "$support/fsck_fat.sh"

ulvren=$1
sectors=$2
fat=$3

for tool in fsck.fat mcopy minfo fsstat; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done

image=$work/recorder.img

format_and_judge() {
    "$ulvren" --simulate "$image" --size "$sectors" format --type public >"$work/format.out"
    sed -i 's/\r$//' "$work/format.out"  # the Windows build ends its lines with CR LF
    grep -qx 'Format successfully!' "$work/format.out" || fail "format: $(cat "$work/format.out")"

    # fsck.fat: nothing beyond the two notices about what the format leaves on purpose, on an
    # empty volume whose root directory takes one cluster.
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

format_and_judge

# Old data: 40 files fill the root cluster past its first sector (16 entries).
mkdir "$work/old"
for i in $(seq 40); do echo "$i" >"$work/old/f$i.txt"; done
MTOOLS_SKIP_CHECK=1 mcopy -i "$image" "$work"/old/f*.txt ::/
format_and_judge

echo "PASS: $sectors sectors, FAT of $fat sectors, fresh and over old files"
