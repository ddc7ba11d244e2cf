#!/usr/bin/env bash
# Boots a volume formatted by `ulvren format` in QEMU and checks what the boot sector's bootstrap
# does with it: load the next stage, or show its messages.
#
# Usage: boot_in_qemu.sh CASE ULVREN NASM TEST_STAGE_ASM WORK_DIR
#
# The next stage is test_stage.asm, which reports "STAGE <label> DL=<drive>" on the debug port
# 0xE9 (captured with -debugcon). Messages are read from the VGA text screen at 0xB8000 through
# QEMU's monitor (pmemsave), taking every other byte as a character.
#
# SeaBIOS numbers the floppy drive 0x00 and boots the first hard disk as 0x80. Floppies have no
# extended read, so floppy cases run the CHS path and hard-disk cases the extended read.
set -euo pipefail

if [[ $# -ne 5 ]]; then
    echo "usage: $0 CASE ULVREN NASM TEST_STAGE_ASM WORK_DIR" >&2
    exit 2
fi
test_case=$1 ulvren=$(realpath "$2") nasm=$3 stage_asm=$(realpath "$4") work_dir=$5
readonly test_case ulvren nasm stage_asm work_dir

readonly FLOPPY_SECTORS=2880 # 1.44 MB: SeaBIOS takes the floppy geometry (18/2/80) from the size
readonly WAIT_SECONDS=30     # for the bootstrap to reach its end state
readonly QEMU_SECONDS=90     # hard limit for QEMU itself, whatever the script does

fail() {
    echo "FAIL [$test_case]: $*" >&2
    if [[ -f screen.txt ]]; then
        echo "--- last screen ---" >&2
        grep -v '^$' screen.txt >&2 || true
    fi
    if [[ -f debug.log ]]; then
        echo "--- debug port ---" >&2
        cat debug.log >&2
    fi
    if [[ -f qemu.log ]]; then
        echo "--- qemu ---" >&2
        grep -v '^(qemu)\|^QEMU .* monitor' qemu.log >&2 || true
    fi
    exit 1
}

command -v qemu-system-i386 >/dev/null ||
    fail "qemu-system-i386 not found (Debian package qemu-system-x86)"
[[ -x $nasm ]] || fail "nasm not found at '$nasm'"

rm -rf "$work_dir"
mkdir -p "$work_dir"
cd "$work_dir"
"$nasm" -f bin -o stage.bin "$stage_asm"

# --- images ------------------------------------------------------------------------------------

# Formats a new simulated recorder image with the project's own writer, then cuts it to SECTORS
# sectors. The writer takes no device smaller than FAT32 holds (525,270 sectors); the bootstrap
# reads only its own sector and its next stage, so the rest of the volume may go.
format_image() { # IMAGE SECTORS
    local output
    output=$("$ulvren" --simulate "$1" --size 525270 format --type public 2>&1) ||
        fail "ulvren format failed: $output"
    [[ $output == *"Format successfully!"* ]] || fail "ulvren format did not succeed: $output"
    truncate -s $(($2 * 512)) "$1"
}

# Writes VALUE as a little-endian number of WIDTH bytes at byte OFFSET of IMAGE.
poke() { # IMAGE OFFSET WIDTH VALUE
    local image=$1 offset=$2 width=$3 value=$4 bytes="" i
    for ((i = 0; i < width; i++)); do
        bytes+=$(printf '\\x%02x' $(((value >> (8 * i)) & 0xFF)))
    done
    printf %b "$bytes" | dd of="$image" bs=1 seek=$((offset)) conv=notrunc status=none
}

# Boot sector fields that the cases change.
readonly FAT_LENGTH_16=0x016 SECTORS_PER_TRACK=0x018 HEAD_COUNT=0x01A HIDDEN_SECTORS=0x01C
readonly FS_VERSION=0x02A DRIVE_NUMBER=0x040

# Writes the test stage to SECTOR of IMAGE with LABEL as the name it reports.
place_stage() { # IMAGE SECTOR LABEL
    dd if=stage.bin of="$1" bs=512 seek="$2" conv=notrunc status=none
    printf '%s\0' "$3" | dd of="$1" bs=1 seek=$(($2 * 512 + 0x100)) conv=notrunc status=none
}

# --- QEMU --------------------------------------------------------------------------------------

# Writes the blkdebug rules for failing_hard_disk: reads of SECTOR fail with EIO, the first
# time only when ONCE is "on".
failing_reads() { # SECTOR ONCE
    printf '[inject-error]\nevent = "read_aio"\nerrno = "5"\nsector = "%s"\nonce = "%s"\n' \
        "$1" "$2" >rules.cfg
}

qemu_pid=""
stop_qemu() {
    if [[ -n $qemu_pid ]]; then
        echo quit >&3 2>/dev/null || true
        exec 3>&- || true
        for _ in {1..50}; do
            kill -0 "$qemu_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill "$qemu_pid" 2>/dev/null || true
        wait "$qemu_pid" 2>/dev/null || true
        qemu_pid=""
    fi
}
trap stop_qemu EXIT

# Starts QEMU booting from BOOT_ORDER (a: floppy, c: hard disk) with the given disks, each
# written floppy:IMAGE or hard_disk:IMAGE.
start_qemu() { # BOOT_ORDER DISK...
    local order=$1 disk drives=()
    shift
    for disk in "$@"; do
        case $disk in
        floppy:*) drives+=(-drive "file=${disk#*:},if=floppy,format=raw") ;;
        hard_disk:*) drives+=(-drive "file=${disk#*:},if=ide,index=0,media=disk,format=raw") ;;
        # QEMU's blkdebug driver between the disk and its image fails reads as the rules say.
        failing_hard_disk:*)
            drives+=(-drive "file=blkdebug:rules.cfg:${disk#*:},if=ide,index=0,media=disk,format=raw")
            ;;
        *) fail "unknown disk $disk" ;;
        esac
    done
    rm -f monitor.in debug.log
    mkfifo monitor.in
    timeout --kill-after=5 "$QEMU_SECONDS" qemu-system-i386 \
        -nodefaults -machine pc -accel tcg -m 16 -vga std -display none \
        -boot order="$order" -debugcon file:debug.log -monitor stdio "${drives[@]}" \
        <monitor.in >qemu.log 2>&1 &
    qemu_pid=$!
    exec 3>monitor.in
}

# Saves the text screen through the monitor and writes it as 25 lines of 80 characters.
snapshot=0
read_screen() {
    snapshot=$((snapshot + 1))
    local dump="screen.$snapshot.bin"
    echo "pmemsave 0xb8000 4000 \"$PWD/$dump\"" >&3
    for _ in {1..50}; do
        [[ -f $dump && $(stat -c %s "$dump") -eq 4000 ]] && break
        sleep 0.1
    done
    [[ -f $dump ]] || fail "QEMU did not save the screen"
    perl -e 'local $/; my $cells = <STDIN>;
             my $text = join "", map { substr($cells, 2 * $_, 1) } 0 .. 1999;
             $text =~ s/[^\x20-\x7E]/ /g;
             print map { "$_\n" } unpack("(A80)*", $text);' <"$dump" >screen.txt
    rm -f "$dump"
}

screen_shows() { read_screen && grep -qxF -- "$1" screen.txt; }
screen_count() { grep -cxF -- "$1" screen.txt || true; }
debug_shows() { [[ -f debug.log ]] && grep -qF -- "$1" debug.log; }

# Polls PREDICATE ARGS... until it holds; fails with DESCRIPTION when it does not in time.
wait_until() { # DESCRIPTION PREDICATE ARGS...
    local description=$1
    shift
    local deadline=$((SECONDS + WAIT_SECONDS))
    while ((SECONDS < deadline)); do
        kill -0 "$qemu_pid" 2>/dev/null || fail "QEMU ended early while waiting for $description"
        "$@" && return 0
        sleep 0.3
    done
    fail "timed out waiting for $description"
}

# --- expectations ------------------------------------------------------------------------------

readonly REMOVE_MEDIA="Remove disks or other media." DISK_ERROR="Disk error"
readonly PRESS_KEY="Press any key to restart"

# The stage labelled LABEL ran with DL = DRIVE, and the bootstrap showed no message first.
expect_stage() { # LABEL DRIVE
    wait_until "the stage '$1'" debug_shows "STAGE "
    read_screen
    debug_shows "STAGE $1 DL=$2" || fail "expected 'STAGE $1 DL=$2' on the debug port"
    for message in "$REMOVE_MEDIA" "$DISK_ERROR" "$PRESS_KEY"; do
        ! grep -qF -- "$message" screen.txt || fail "unexpected message '$message'"
    done
}

# MESSAGE shows on a line of its own, "Press any key to restart" on the next, once each; the
# other message does not show and no stage ran.
expect_message() { # MESSAGE
    local message=$1 other=$REMOVE_MEDIA
    [[ $message == "$REMOVE_MEDIA" ]] && other=$DISK_ERROR
    wait_until "'$PRESS_KEY'" screen_shows "$PRESS_KEY"
    [[ $(grep -xF -A1 -- "$message" screen.txt | tail -n 1) == "$PRESS_KEY" ]] ||
        fail "expected '$message' followed by '$PRESS_KEY'"
    [[ $(screen_count "$message") -eq 1 && $(screen_count "$PRESS_KEY") -eq 1 ]] ||
        fail "expected each message once"
    ! grep -qF -- "$other" screen.txt || fail "unexpected message '$other'"
    ! debug_shows "STAGE" || fail "a stage ran after the message"
}

# --- cases -------------------------------------------------------------------------------------

case $test_case in
floppy_loads_stage)
    # Drive byte 0x00 as formatted, CHS read from the BPB geometry 63/255 (sector 12 lies on
    # the first track either way).
    format_image disk.img "$FLOPPY_SECTORS"
    place_stage disk.img 12 sector-12
    start_qemu a floppy:disk.img
    expect_stage sector-12 00
    ;;
hard_disk_loads_stage)
    format_image disk.img "$FLOPPY_SECTORS"
    poke disk.img "$DRIVE_NUMBER" 1 0x80
    place_stage disk.img 12 sector-12
    start_qemu c hard_disk:disk.img
    expect_stage sector-12 80
    ;;
floppy_hidden_sectors)
    # The floppy's real geometry, 18 sectors per track and 2 heads, and 48 hidden sectors: LBA 60
    # is cylinder 1, head 1, sector 7, so both divisions of the CHS conversion count.
    format_image disk.img "$FLOPPY_SECTORS"
    poke disk.img "$SECTORS_PER_TRACK" 2 18
    poke disk.img "$HEAD_COUNT" 2 2
    poke disk.img "$HIDDEN_SECTORS" 4 48
    place_stage disk.img 12 sector-12
    place_stage disk.img 60 sector-60
    start_qemu a floppy:disk.img
    expect_stage sector-60 00
    ;;
hard_disk_hidden_sectors)
    # Hidden sectors + 12 carries into the high word of the LBA: 65530 + 12 = 0x10006.
    format_image disk.img 70000
    poke disk.img "$DRIVE_NUMBER" 1 0x80
    poke disk.img "$HIDDEN_SECTORS" 4 65530
    place_stage disk.img 12 sector-12
    place_stage disk.img 65542 sector-65542
    start_qemu c hard_disk:disk.img
    expect_stage sector-65542 80
    ;;
drive_byte_not_boot_drive)
    # Booted from the floppy (DL = 0x00), the drive byte names the hard disk: the stage comes
    # from the hard disk.
    format_image floppy.img "$FLOPPY_SECTORS"
    poke floppy.img "$DRIVE_NUMBER" 1 0x80
    place_stage floppy.img 12 floppy
    format_image disk.img "$FLOPPY_SECTORS"
    place_stage disk.img 12 hard-disk
    start_qemu a floppy:floppy.img hard_disk:disk.img
    expect_stage hard-disk 80
    ;;
fat_length_not_zero)
    format_image disk.img "$FLOPPY_SECTORS"
    poke disk.img "$FAT_LENGTH_16" 2 9
    place_stage disk.img 12 sector-12
    start_qemu a floppy:disk.img
    expect_message "$REMOVE_MEDIA"
    ;;
version_not_zero)
    format_image disk.img "$FLOPPY_SECTORS"
    poke disk.img "$FS_VERSION" 2 0x0100
    place_stage disk.img 12 sector-12
    start_qemu a floppy:disk.img
    expect_message "$REMOVE_MEDIA"
    ;;
read_past_end_of_disk)
    # A hard disk of sectors 0..11 only: the extended read of sector 12 fails.
    format_image formatted.img "$FLOPPY_SECTORS"
    dd if=formatted.img of=disk.img bs=512 count=12 status=none
    poke disk.img "$DRIVE_NUMBER" 1 0x80
    start_qemu c hard_disk:disk.img
    expect_message "$DISK_ERROR"
    ;;
floppy_sector_not_on_track)
    # The formatted geometry of 63 sectors per track on a real floppy of 18: hidden sectors + 12 =
    # 32 asks for sector 33 of the first track, which the drive does not have.
    format_image disk.img "$FLOPPY_SECTORS"
    poke disk.img "$HIDDEN_SECTORS" 4 20
    place_stage disk.img 32 sector-32
    start_qemu a floppy:disk.img
    expect_message "$DISK_ERROR"
    ;;
geometry_not_addressable)
    # No sectors per track: no CHS address exists, so the read fails without being sent.
    format_image disk.img "$FLOPPY_SECTORS"
    poke disk.img "$SECTORS_PER_TRACK" 2 0
    place_stage disk.img 12 sector-12
    start_qemu a floppy:disk.img
    expect_message "$DISK_ERROR"
    ;;
read_error_once)
    # The first read of sector 12 fails with EIO and the second succeeds: the retry must ask for
    # the sector again (the failed extended read leaves a count of 0 in the packet).
    format_image disk.img "$FLOPPY_SECTORS"
    poke disk.img "$DRIVE_NUMBER" 1 0x80
    place_stage disk.img 12 sector-12
    failing_reads 12 on
    start_qemu c failing_hard_disk:disk.img
    expect_stage sector-12 80
    ;;
read_error_always)
    # Every read of sector 12 fails with EIO: after its tries the bootstrap says so.
    format_image disk.img "$FLOPPY_SECTORS"
    poke disk.img "$DRIVE_NUMBER" 1 0x80
    place_stage disk.img 12 sector-12
    failing_reads 12 off
    start_qemu c failing_hard_disk:disk.img
    expect_message "$DISK_ERROR"
    ;;
key_restarts)
    # The bootstrap waits for a key, then restarts; the restarted boot shows the message again.
    format_image disk.img "$FLOPPY_SECTORS"
    poke disk.img "$FS_VERSION" 2 1
    start_qemu a floppy:disk.img
    expect_message "$REMOVE_MEDIA"
    sleep 2
    read_screen
    [[ $(screen_count "$PRESS_KEY") -eq 1 ]] || fail "restarted without a key press"
    echo "sendkey ret" >&3
    restarted() { read_screen && [[ $(screen_count "$PRESS_KEY") -ge 2 ]]; }
    wait_until "the restart after a key press" restarted
    ;;
*)
    echo "unknown case '$test_case'" >&2
    exit 2
    ;;
esac

stop_qemu
echo "PASS [$test_case]"
