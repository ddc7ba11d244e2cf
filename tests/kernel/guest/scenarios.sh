#!/bin/sh
# The kernel scenarios: `ulvren` in the guest against the simulated recorder on USB, through SG_IO,
# sd and usb-storage, one line per scenario (scenario_runner.sh). Exit status: the number of failed
# scenarios (0 when all pass). ulvren.only=a,b on the kernel command line runs only those.
. /test/gadgets.sh
. /test/fsck_fat.sh
. /test/scenario_runner.sh

readonly RECORDER_SECTORS=2097152  # 1 GiB: each FAT takes 2,045 sectors, so 9 commands of 240
readonly MAX_TRANSFER=122880       # max_sectors_kb 120
state=$recorder_image.state
opcodes=/run/recorder.opcodes
recorder_options="--opcode-log $opcodes"

# Runs ulvren with ARGS, keeps its output in /run/out and its exit status in $status.
run() { # ARGS...
    set +e
    ulvren "$@" >/run/out 2>&1
    status=$?
    set -e
    sed 's/^/  ulvren: /' /run/out
}
# As run, with INPUT (printf escapes) on standard input; not in a pipeline, which would lose $status.
feed() { # INPUT ARGS...
    printf '%b' "$1" >/run/in
    shift
    run "$@" </run/in
}
says() { grep -qF -- "$1" /run/out; }
state_has() { grep -qx -- "$1" "$state" || fail "recorder state lacks '$1': $(tr '\n' ' ' <"$state")"; }
# fsck.fat -n finds nothing beyond what every format leaves on purpose, as the host-side format
# tests expect.
fsck_clean() { # DEVICE
    local surprises
    surprises=$(fsck_fat_surprises "$1" /run/fsck)
    [ -z "$surprises" ] || fail "fsck.fat -n $1 found: $surprises"
}
serial_of() { dd if="$1" bs=1 skip=67 count=4 status=none | od -An -tx1 | tr -d ' '; }

# --- the scenarios -----------------------------------------------------------------------------

# The recorder is the third removable disk; detect finds it and nothing else. The scan reaches it
# through its generic node alone: its first command is the identify, with no TEST UNIT READY or
# PREVENT MEDIUM REMOVAL from an open of its disk node before it.
scenario_detect() {
    local from
    [ "$(recorder_disk)" != /dev/sda ] || fail "the recorder is the first disk"
    for block in /sys/block/sd*; do
        [ "$(cat "$block/removable")" = 1 ] || fail "${block##*/} is not removable"
    done
    from=$(($(wc -l <"$opcodes") + 1))
    run detect
    [ $status -eq 0 ] || fail "detect exited $status"
    says "Disk Capacity: 1024 MB" && says "USB Disk Type: Public Disk" &&
        says "Device: $(recorder_disk)" || fail "detect did not report the recorder"
    [ "$(tail -n "+$from" "$opcodes" | head -n 1 | cut -d' ' -f2)" = f6 ] ||
        fail "the scan's first command was not the identify: $(tail -n "+$from" "$opcodes" | cut -d' ' -f2 | tr '\n' ' ')"
}

# Formats as TYPE through the kernel; checks the commands, fsck.fat and the kernel's vfat on it.
format_and_use() { # TYPE
    local disk
    disk=$(recorder_disk)
    run --trace /run/trace format --type "$1"
    [ $status -eq 0 ] && says "Format successfully!" || fail "format exited $status"
    local big
    big=$(grep -c "^out cdb=2a.* len=$MAX_TRANSFER " /run/trace || true)
    [ "$big" -ge 16 ] || fail "expected each FAT in several full commands, saw $big"
    grep "^out cdb=2a" /run/trace | awk -v max=$MAX_TRANSFER '{ sub("len=", "", $3); if ($3 + 0 > max) bad = 1 } END { exit bad }' ||
        fail "a write was larger than the kernel's limit"
    fsck_clean "$disk"
    mkdir -p /mnt/recorder
    mount -t vfat -o iocharset=ascii "$disk" /mnt/recorder || fail "the kernel does not mount it"
    [ -z "$(ls /mnt/recorder)" ] || fail "the new file system is not empty: $(ls /mnt/recorder)"
    echo "recorded on a $1 disk" >/mnt/recorder/take1.txt
    umount /mnt/recorder
    mount -t vfat -o iocharset=ascii "$disk" /mnt/recorder
    [ "$(cat /mnt/recorder/take1.txt)" = "recorded on a $1 disk" ] || fail "the file did not survive"
    umount /mnt/recorder
    fsck_clean "$disk"
}

scenario_format_public() {
    format_and_use public
    state_has disk_type=1
}

# A second format of the used disk: no trace of the file, and the kernel sees the new file system
# at once, without a replug. The old boot sector gets a serial that no format writes (its upper
# bytes are always 0), through the kernel so that its cache holds it too: two formats within the
# same second write the same serial.
scenario_format_password() {
    local disk
    disk=$(recorder_disk)
    printf '\377\377\377\377' | dd of="$disk" bs=1 seek=67 conv=notrunc,fsync status=none
    [ "$(serial_of "$disk")" = ffffffff ] || fail "the old serial was not written"
    format_and_use password
    [ "$(serial_of "$disk")" != ffffffff ] || fail "the kernel still reads the old boot sector"
    state_has disk_type=2
}

scenario_settings() {
    run set-clock --time 2031-02-03T04:05:06 --stamp
    [ $status -eq 0 ] && says "Set Date/Time successfully!" || fail "set-clock exited $status"
    state_has clock=20310203040506
    state_has time_stamp=1
    feed '\nsecret1\nsecret1\n' --password-stdin change-password
    [ $status -eq 0 ] || fail "change-password with the right old password exited $status"
    state_has password_hex=73656372657431
    feed 'wrong\nother\nother\n' --password-stdin change-password
    [ $status -ne 0 ] || fail "change-password with a wrong old password succeeded"
    state_has password_hex=73656372657431
    feed 'wrong\n' --password-stdin login
    [ $status -ne 0 ] && says "Login failed!" || fail "login with a wrong password: $status"
    state_has logged_in=0
    feed 'secret1\n' --password-stdin login
    [ $status -eq 0 ] && says "Login successfully!" || fail "login exited $status"
    state_has logged_in=1
}

# The recorder leaves the bus during the fifth write of a format.
scenario_unplug_mid_format() {
    control unplug-at-write 5
    run format --type public
    [ $status -ne 0 ] && says "Format failed!" || fail "format exited $status"
    ! says "Format successfully!" || fail "a format without its device succeeded"
    wait_for 30 "the recorder's disk to go" no_recorder
    control clear
    plug_recorder
}

scenario_medium_error() {
    control fail-writes-from 3
    run format --type public
    control clear
    [ $status -ne 0 ] && says "Format failed!" || fail "format with failing writes exited $status"
}

# A vendor command refused with CHECK CONDITION: a failed command, at once, and the device goes on.
scenario_vendor_refused() {
    control vendor refused f5
    local start
    start=$(date +%s)
    run set-clock --time 2031-02-03T04:05:06 --no-stamp
    control clear
    [ $status -eq 1 ] || fail "set-clock refused by the device exited $status"
    [ $(($(date +%s) - start)) -le 5 ] || fail "a refused command took $(($(date +%s) - start)) s"
    state_has time_stamp=1
    run detect
    [ $status -eq 0 ] || fail "the recorder did not go on after a refused command"
}

# The recorder stops answering a vendor command: ulvren fails within the command's timeout (10 s,
# and the kernel's reset after it), and the kernel gets the device back.
scenario_no_answer() {
    control vendor no-reply f5
    local start elapsed
    start=$(date +%s)
    run set-clock --time 2031-02-03T04:05:06 --no-stamp
    elapsed=$(($(date +%s) - start))
    control clear
    [ $status -eq 1 ] || fail "set-clock to a silent device exited $status"
    [ $elapsed -ge 9 ] && [ $elapsed -le 40 ] || fail "failed after $elapsed s"
    echo "failed after $elapsed s"
    run detect
    [ $status -eq 0 ] || fail "the recorder did not come back after the reset"
}

# Without access to the disk nodes, ulvren says plainly that it lacks the rights.
scenario_no_rights() {
    su nobody -c "/bin/ulvren detect" >/run/out 2>&1 && status=0 || status=$?
    sed 's/^/  ulvren: /' /run/out
    [ $status -eq 1 ] || fail "detect without rights exited $status"
    says "may not use the recorder" || fail "detect did not say it lacks the rights"
}

# Rights to the disk nodes but no CAP_SYS_RAWIO: the kernel refuses vendor opcodes on /dev/sdX,
# and ulvren sends them through the disk's /dev/sgN.
scenario_disk_group() {
    local disk sg
    disk=$(recorder_disk)
    sg=/dev/$(ls "/sys/block/${disk#/dev/}/device/scsi_generic")
    chgrp disk "$disk" "$sg" && chmod 660 "$disk" "$sg"
    su operator -c "/bin/ulvren detect" >/run/out 2>&1 && status=0 || status=$?
    sed 's/^/  ulvren: /' /run/out
    [ $status -eq 0 ] && says "Device: $disk" || fail "detect in group disk exited $status"
}

# A mounted plain USB disk stays mounted whatever ulvren does, also when it is named itself.
scenario_plain_disk_stays_mounted() {
    local plain
    plain=$(disk_with_model "Disk 0")
    mkdir -p /mnt/plain
    mount -t vfat "$plain" /mnt/plain
    echo keep >/mnt/plain/keep.txt
    mounted() { grep -q "^$plain /mnt/plain " /proc/mounts || fail "$plain was unmounted by: $*"; }
    run detect && mounted detect
    run format --type public && mounted format
    run set-clock && mounted set-clock
    feed '\n' --password-stdin login && mounted login
    feed '\nx\nx\n' --password-stdin change-password && mounted change-password
    run --device "$plain" format --type public
    [ $status -ne 0 ] || fail "format of a plain disk succeeded"
    mounted "format --device $plain"
    [ "$(cat /mnt/plain/keep.txt)" = keep ] || fail "the plain disk's file is gone"
    umount /mnt/plain
}

# --- several recorders: the second one plugged in beside the first --------------------------------

state2=$recorder2_image.state
state2_has() { grep -qx -- "$1" "$state2" || fail "second recorder's state lacks '$1': $(tr '\n' ' ' <"$state2")"; }
first_recorder_back() { disk_on_udc 1 >/dev/null; }
first_recorder_gone() { ! first_recorder_back; }
count_of() { grep -cxF -- "$1" /run/out || true; }
# What ulvren printed from the line "Device: FROM" on, up to the next such line.
results_of() { # DEVICE
    awk -v d="Device: $1" '$0 == d { on = 1; next } /^Device: / { on = 0 } on' /run/out
}

# detect lists both recorders, each once, and neither plain disk.
scenario_two_recorders_detect() {
    plug_second_recorder
    run detect
    [ $status -eq 0 ] || fail "detect exited $status"
    [ "$(count_of "Device: $(disk_on_udc 1)")" = 1 ] && [ "$(count_of "Device: $(second_recorder_disk)")" = 1 ] ||
        fail "detect did not list each recorder once"
    [ "$(grep -c '^Device: ' /run/out)" = 2 ] || fail "detect listed more than the two recorders"
}

scenario_two_recorders_set_clock() {
    plug_second_recorder
    run --all set-clock --time 2032-03-04T05:06:07 --no-stamp
    [ $status -eq 0 ] || fail "--all set-clock exited $status"
    [ "$(count_of "Set Date/Time successfully!")" = 2 ] || fail "not both recorders said so"
    state_has clock=20320304050607
    state2_has clock=20320304050607
    state2_has time_stamp=0
}

scenario_two_recorders_format() {
    plug_second_recorder
    run --all format --type public
    [ $status -eq 0 ] || fail "--all format exited $status"
    [ "$(count_of "Format successfully!")" = 2 ] || fail "not both recorders were formatted"
    fsck_clean "$(disk_on_udc 1)"
    fsck_clean "$(second_recorder_disk)"
    state2_has disk_type=1
}

# The first recorder leaves the bus during the fifth write of an --all format: it fails alone,
# under its own path, and the second one is formatted after it.
scenario_two_recorders_unplug_one() {
    local first second
    plug_second_recorder
    first=$(disk_on_udc 1)
    second=$(second_recorder_disk)
    control unplug-at-write 5
    run --all format --type password
    [ $status -eq 1 ] || fail "--all format with a recorder gone exited $status"
    results_of "$first" | grep -qxF "Format failed!" || fail "$first did not fail under its path"
    results_of "$second" | grep -qxF "Format successfully!" || fail "$second was not formatted"
    fsck_clean "$second"
    state2_has disk_type=2
    wait_for 30 "the first recorder's disk to go" first_recorder_gone
    control clear
    plug_recorder
    wait_for 30 "the first recorder's disk" first_recorder_back
}

# --- the list ----------------------------------------------------------------------------------

scenarios="detect format_public format_password settings unplug_mid_format medium_error
    vendor_refused no_answer no_rights disk_group plain_disk_stays_mounted
    two_recorders_detect two_recorders_set_clock two_recorders_format two_recorders_unplug_one"

# Every scenario leaves the recorder plugged in and without faults for the next one.
after_failure() { :; }
after_scenario() {
    control clear >/dev/null 2>&1 || true
    unplug_second_recorder >/dev/null 2>&1 || echo "GUEST: the second recorder did not go"
    plug_recorder >/dev/null 2>&1 || echo "GUEST: the recorder did not come back"
}

plug_plain_disks || exit 1
start_recorder $RECORDER_SECTORS || { cat "$responder_log"; exit 1; }
start_second_recorder $RECORDER_SECTORS || { cat "$responder_log"; exit 1; }
echo "GUEST: devices ready after $(now) s: recorder at $(recorder_disk)"
run_scenarios "$scenarios"
