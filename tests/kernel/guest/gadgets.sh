# The guest's USB devices, for the scripts that /init runs (sourced, busybox sh).
#
# dummy_hcd gives three device controllers, each wired to a port of the guest's own USB host:
#   dummy_udc.0  gadget "plain": two removable disks (mass_storage.0, LUNs 0 and 1) on image files
#   dummy_udc.1  gadget "recorder": functions/ffs.recorder, served by ulvren_bot_responder
#   dummy_udc.2  gadget "recorder2": a second recorder, its own responder (plugged in on demand)
# The plain disks are bound first, so the recorder is not the first removable drive.

gadgets=/sys/kernel/config/usb_gadget
recorder_image=/run/recorder.img
recorder_control=/run/recorder.control
recorder_reply=/run/recorder.reply
responder_log=/run/responder.log
ffs_mount=/run/ffs

# Polls every 50 ms until COMMAND succeeds; fails after SECONDS with DESCRIPTION.
wait_for() { # SECONDS DESCRIPTION COMMAND...
    local deadline=$(($(date +%s) + $1 + 1)) description=$2
    shift 2
    until "$@"; do
        if [ "$(date +%s)" -ge "$deadline" ]; then
            echo "timed out waiting for $description"
            return 1
        fi
        sleep 0.05
    done
}

# The /dev node of the disk whose SCSI model starts with MODEL, or nothing.
disk_with_model() { # MODEL
    local block
    for block in /sys/block/sd*; do
        [ -e "$block/device/model" ] || continue
        case $(cat "$block/device/model") in
        "$1"*) echo "/dev/${block##*/}" && return 0 ;;
        esac
    done
    return 1
}
has_disk() { [ -b "$(disk_with_model "$1")" ]; }
recorder_disk() { disk_with_model "Pocket Recorder"; }

new_gadget() { # NAME PRODUCT_ID
    mkdir "$gadgets/$1"
    echo 0x1d6b >"$gadgets/$1/idVendor"
    echo "$2" >"$gadgets/$1/idProduct"
    mkdir "$gadgets/$1/strings/0x409" "$gadgets/$1/configs/c.1"
    echo "$1" >"$gadgets/$1/strings/0x409/product"
}

# Two removable disks with a FAT file system each, bound before anything else.
plug_plain_disks() {
    local function=$gadgets/plain/functions/mass_storage.0 lun
    new_gadget plain 0x0104
    mkdir "$function"
    for lun in 0 1; do
        truncate -s 32M "/run/plain$lun.img"
        mkfs.fat -n "PLAIN$lun" "/run/plain$lun.img" >/dev/null
        mkdir -p "$function/lun.$lun"
        echo 1 >"$function/lun.$lun/removable"
        printf 'PLAIN   Disk %s          1.00' "$lun" >"$function/lun.$lun/inquiry_string"
        echo "/run/plain$lun.img" >"$function/lun.$lun/file"
    done
    ln -s "$function" "$gadgets/plain/configs/c.1/"
    echo dummy_udc.0 >"$gadgets/plain/UDC"
    wait_for 30 "the plain disks" has_disk "Disk 1"
    wait_for 5 "the plain disks" has_disk "Disk 0"
}

# Starts the responder on a recorder of SECTORS sectors (its image made anew) and plugs it in.
# $recorder_options, when set, are more options for the responder.
start_recorder() { # SECTORS
    rm -f "$recorder_image" "$recorder_image.state"
    new_gadget recorder 0x0105
    mkdir "$gadgets/recorder/functions/ffs.recorder"
    ln -s "$gadgets/recorder/functions/ffs.recorder" "$gadgets/recorder/configs/c.1/"
    mkdir -p "$ffs_mount"
    mount -t functionfs recorder "$ffs_mount"
    mkfifo "$recorder_control" "$recorder_reply"
    # shellcheck disable=SC2086 # the caller's extra options for the responder, as words
    ulvren_bot_responder ${recorder_options:-} "$ffs_mount" "$recorder_image" "$1" "$gadgets/recorder/UDC" \
        "$recorder_control" "$recorder_reply" 2>>"$responder_log" &
    wait_for 10 "the responder's endpoints" test -e "$ffs_mount/ep2"
    plug_recorder
}

recorder_plugged() { [ -n "$(cat "$gadgets/recorder/UDC")" ]; }
no_recorder() { ! recorder_disk >/dev/null; }

plug_recorder() {
    recorder_plugged || echo dummy_udc.1 >"$gadgets/recorder/UDC"
    wait_for 30 "the recorder's disk" has_disk "Pocket Recorder"
}

unplug_recorder() {
    ! recorder_plugged || echo >"$gadgets/recorder/UDC"
    wait_for 30 "the recorder's disk to go" no_recorder
}

# Sends one line to the responder's control channel; succeeds once it is in force.
control() { # LINE...
    local answer
    echo "$*" >"$recorder_control"
    read -r answer <"$recorder_reply"
    [ "$answer" = ok ] || { echo "control '$*': $answer"; return 1; }
}

# A second recorder on dummy_udc.2 (gadget "recorder2"), with an image, state, responder and
# control channel of its own; it stays unplugged but in the scenarios that plug it in.
recorder2_image=/run/recorder2.img
recorder2_control=/run/recorder2.control
recorder2_reply=/run/recorder2.reply
ffs2_mount=/run/ffs2

# The /dev node of the disk behind device controller dummy_udc.N (host dummy_hcd.N), or nothing:
# both recorders carry the same model.
disk_on_udc() { # N
    local block
    for block in /sys/block/sd*; do
        case $(readlink -f "$block") in
        */dummy_hcd."$1"/*) echo "/dev/${block##*/}" && return 0 ;;
        esac
    done
    return 1
}
second_recorder_disk() { disk_on_udc 2; }
has_second_recorder() { second_recorder_disk >/dev/null; }
no_second_recorder() { ! has_second_recorder; }

# Starts the second recorder's responder on SECTORS sectors, unplugged.
start_second_recorder() { # SECTORS
    new_gadget recorder2 0x0106
    mkdir "$gadgets/recorder2/functions/ffs.recorder2"
    ln -s "$gadgets/recorder2/functions/ffs.recorder2" "$gadgets/recorder2/configs/c.1/"
    mkdir -p "$ffs2_mount"
    mount -t functionfs recorder2 "$ffs2_mount"
    mkfifo "$recorder2_control" "$recorder2_reply"
    ulvren_bot_responder "$ffs2_mount" "$recorder2_image" "$1" "$gadgets/recorder2/UDC" \
        "$recorder2_control" "$recorder2_reply" 2>>"$responder_log" &
    wait_for 10 "the second responder's endpoints" test -e "$ffs2_mount/ep2"
}

plug_second_recorder() {
    [ -n "$(cat "$gadgets/recorder2/UDC")" ] || echo dummy_udc.2 >"$gadgets/recorder2/UDC"
    wait_for 30 "the second recorder's disk" has_second_recorder
}

unplug_second_recorder() {
    [ -z "$(cat "$gadgets/recorder2/UDC")" ] || echo >"$gadgets/recorder2/UDC"
    wait_for 30 "the second recorder's disk to go" no_second_recorder
}
