#!/bin/sh
# The desktop scenarios: `ulvren` and the window as the user at the seat of a systemd guest, with
# udev, logind, udisks2 and polkit doing what they do on a desktop. Runs as root from
# ulvren-desktop-tests.service; the seated user's commands run through the seat agent in that
# user's tty1 session. One line per scenario (scenario_runner.sh); the guest prints "GUEST-EXIT N"
# (N failed) and powers off. ulvren.only=a,b on the kernel command line runs only those.
. /test/gadgets.sh
. /test/scenario_runner.sh

readonly RECORDER_SECTORS=2097152 # 1 GiB, as in the kernel tests
readonly PLAIN_SECTORS=131072
readonly RECORDER_CAPACITY="1024 MB"
readonly RECORDER_USB_ID=1d6b:0105
recorder_options="--opcode-log /run/recorder.opcodes"
plain_opcodes=/run/plain.opcodes
seat=/run/seat

has() { grep -qx "$1" /test/features; }
needs() { # FEATURE WHY
    has "$1" || skip "$2"
}
plain_disk() { disk_with_model "USB Disk"; }
sg_of() { echo "/dev/$(ls "/sys/block/${1#/dev/}/device/scsi_generic")"; }

# --- the plain disk: the responder on the first UDC, answering no vendor command ---------------

start_plain_disk() {
    new_gadget plain 0x0104
    mkdir "$gadgets/plain/functions/ffs.plain"
    ln -s "$gadgets/plain/functions/ffs.plain" "$gadgets/plain/configs/c.1/"
    mkdir -p /run/ffs-plain
    mount -t functionfs plain /run/ffs-plain
    mkfifo /run/plain.control /run/plain.reply
    ulvren_bot_responder --plain --opcode-log "$plain_opcodes" /run/ffs-plain /run/plain.img \
        $PLAIN_SECTORS "$gadgets/plain/UDC" /run/plain.control /run/plain.reply 2>>"$responder_log" &
    wait_for 10 "the plain responder's endpoints" test -e /run/ffs-plain/ep2
    echo dummy_udc.0 >"$gadgets/plain/UDC"
    wait_for 30 "the plain disk" has_disk "USB Disk"
}

# Vendor opcodes (0xC0 and up) in an opcode log, from line FROM on.
vendor_opcodes() { # LOG [FROM]
    tail -n "+${2:-1}" "$1" | grep -c '^opcode [c-f][0-9a-f] ' || true
}
lines_of() { wc -l <"$1"; }

# --- the seated user ---------------------------------------------------------------------------

job_count=0
# Runs COMMAND (shell text) as desk inside the seat's session; output in /run/out (and printed),
# exit status in $status.
as_desk() { # COMMAND
    job_count=$((job_count + 1))
    local job=job$job_count
    lines_of /run/recorder.opcodes >/run/job.opcodes-from
    printf '%s\n' "$*" >"$seat/$job"
    echo "$job" >"$seat/request"
    read -r _ <"$seat/reply"
    status=$(cat "$seat/$job.status")
    cp "$seat/$job.out" /run/out
    sed 's/^/  desk: /' /run/out
}
# As as_desk, as the second local user, who has no seat.
as_other() { # COMMAND
    set +e
    runuser -u other -- sh -c "$*" >/run/out 2>&1 </dev/null
    status=$?
    set -e
    sed 's/^/  other: /' /run/out
}
says() { grep -qF -- "$1" /run/out; }
acl_for() { # USER NODE: the user's entry in the node's ACL, or nothing
    getfacl -p "$2" 2>/dev/null | sed -n "s/^user:$1:\([rwx-]*\).*/\1/p"
}
must_have_acl() { # USER NODE...
    local user=$1 node
    shift
    for node in "$@"; do
        case $(acl_for "$user" "$node") in
        rw*) ;;
        *) fail "$user has no rw ACL on $node: $(getfacl -p "$node" 2>&1 | tr '\n' ' '), udev's tags: $(udevadm info -q property "$node" | sed -n 's/^TAGS=//p')" ;;
        esac
    done
}
must_lack_acl() { # USER NODE...
    local user=$1 node
    shift
    for node in "$@"; do
        [ -z "$(acl_for "$user" "$node")" ] || fail "$user has an ACL on $node"
    done
}
recorder_nodes() { local disk; disk=$(recorder_disk) && echo "$disk $(sg_of "$disk")"; }
# No user but root may open any of NODES: no named-user ACL entry, nothing for others.
must_give_nobody() { # NODE...
    local node
    for node in "$@"; do
        ! getfacl -p "$node" 2>/dev/null | grep -q '^user:[^:]' ||
            fail "$node still gives a user access: $(getfacl -p "$node" | tr '\n' ' ')"
        case $(stat -c %A "$node") in ???????---) ;; *) fail "others may open $node" ;; esac
    done
}
# desk authorises as in scenario_authorisation; the plain disk's one identify is allowed for.
authorize_as_desk() {
    as_desk 'ulvren authorize'
    [ "$status" -eq 0 ] || fail "authorize exited $status"
    lines_of "$plain_opcodes" >/run/plain.after-authorisation
    # shellcheck disable=SC2046 # two nodes
    must_have_acl desk $(recorder_nodes)
}
seat_session() { loginctl show-seat seat0 -p ActiveSession --value; }
active_user() { loginctl show-session "$(seat_session)" -p Name --value 2>/dev/null; }
plain_nodes() { local disk; disk=$(plain_disk) && echo "$disk $(sg_of "$disk")"; }
rules() { ls /etc/udev/rules.d/70-ulvren-*.rules 2>/dev/null; }

# fsck.fat -n finds nothing beyond the notices every format leaves on purpose (as the kernel tests).
fsck_clean() { # DEVICE
    fsck.fat -n "$1" >/run/fsck 2>&1 || true
    if grep -v -e '^fsck\.fat [0-9.]* (' -e '^Free cluster summary uninitialized' \
        -e "^$1: [0-9]* files, [0-9/]* clusters\$" -e '^$' \
        /run/fsck; then
        fail "fsck.fat -n $1 found the above"
    fi
}
# The volume serial in the boot sector, as udisks spells it (IdUUID, "ABCD-1234").
boot_serial() { # DEVICE
    dd if="$1" bs=1 skip=67 count=4 status=none | od -An -tx1 |
        awk '{ printf "%s%s-%s%s\n", toupper($4), toupper($3), toupper($2), toupper($1) }'
}
udisks_property() { # DEVICE PROPERTY
    udisksctl info -b "$1" | sed -n "s/^ *$2: *//p" | head -n 1
}
mounted() { grep -q "^$1 " /proc/mounts; }

# The window as desk on Qt's offscreen platform, printing its capacity field after each detection
# to $window.
window=$seat/window.out
start_window() {
    as_desk "QT_QPA_PLATFORM=offscreen ulvren-tool --print-detections >$window 2>&1 & echo \$! >$seat/window.pid"
}
stop_window() { kill "$(cat "$seat/window.pid")" 2>/dev/null || true; }

# --- the scenarios -----------------------------------------------------------------------------

# The guest is a desktop: desk's session is active on seat0, the other user has none there, and
# udisks2 and polkit serve the seated user.
scenario_seat() {
    local session
    session=$(loginctl show-seat seat0 -p ActiveSession --value)
    [ -n "$session" ] || fail "seat0 has no active session"
    [ "$(loginctl show-session "$session" -p Name --value)" = desk ] || fail "the active session is not desk's"
    loginctl list-sessions --no-legend | grep -q ' other ' && fail "other has a session"
    for unit in udisks2 polkit systemd-udevd systemd-logind; do
        systemctl -q is-active "$unit" || fail "$unit is not running"
    done
    as_desk 'udisksctl status'
    [ "$status" -eq 0 ] || fail "udisksctl as desk exited $status"
    [ -u /usr/bin/pkexec ] || fail "pkexec is not setuid"
}

# Before any authorisation the seated user may open neither disk: detect and the window's check
# say that rights are missing and how to get them, and no vendor command reaches either disk.
scenario_before_authorisation() {
    as_desk 'ulvren detect'
    [ "$status" -eq 1 ] || fail "detect without rights exited $status"
    if has authorize; then
        says "ulvren authorize" || fail "detect did not name ulvren authorize"
    else
        says "permission denied" || says "rights" || fail "detect did not say it lacks the rights"
    fi
    if has print_detections; then
        start_window
        wait_for 60 "the window's first detection" test -s "$window" || fail "the window printed nothing"
        wait_for 10 "the window's offer" grep -qF "ulvren authorize" "$window" ||
            fail "the window did not offer the authorisation: $(cat "$window")"
        stop_window
    fi
    [ "$(vendor_opcodes /run/recorder.opcodes)" -eq 0 ] || fail "a vendor command reached the recorder"
    [ "$(vendor_opcodes "$plain_opcodes")" -eq 0 ] || fail "a vendor command reached the plain disk"
}

# desk authorises the recorder through pkexec (the guest's polkit rule says yes): the rule is
# written for the recorder alone and the ACLs follow; the plain disk gets one identify at most.
scenario_authorisation() {
    needs authorize "this build has no ulvren-authorize"
    local plain_before
    plain_before=$(($(lines_of "$plain_opcodes") + 1))
    as_desk 'ulvren authorize'
    [ "$status" -eq 0 ] || fail "authorize exited $status"
    [ "$(rules | wc -l)" -eq 1 ] || fail "expected one rule file, found: $(rules)"
    grep -qi "${RECORDER_USB_ID%:*}" "$(rules)" && grep -qi "${RECORDER_USB_ID#*:}" "$(rules)" ||
        fail "the rule does not name the recorder's USB identity: $(cat "$(rules)")"
    udevadm settle
    # shellcheck disable=SC2046 # two nodes
    must_have_acl desk $(recorder_nodes)
    # shellcheck disable=SC2046
    must_lack_acl desk $(plain_nodes)
    [ "$(vendor_opcodes "$plain_opcodes" "$plain_before")" -le 1 ] ||
        fail "the plain disk got more than one vendor command"
    lines_of "$plain_opcodes" >/run/plain.after-authorisation
}

# Every operation as desk, on a recorder that udisks mounted for desk: each format unmounts it
# through udisks, leaves a clean FAT32 that udisks sees at once, and nothing of ours runs as root.
scenario_operations() {
    needs authorize "this build has no ulvren-authorize"
    local disk pkexec_before serial began took
    disk=$(recorder_disk)
    pkexec_before=$(journalctl -q -t pkexec | wc -l)
    mkfs.fat -n RECORDER "$disk" >/dev/null
    udevadm settle
    as_desk 'grep ^CapEff: /proc/self/status; ulvren detect'
    [ "$status" -eq 0 ] && says "Disk Capacity: $RECORDER_CAPACITY" || fail "detect exited $status"
    grep -q '^CapEff:[[:space:]]*0*$' /run/out || fail "desk's programs run with capabilities"
    for type in password public; do
        as_desk "udisksctl mount -b $disk"
        [ "$status" -eq 0 ] && mounted "$disk" || fail "udisks did not mount the recorder for desk"
        began=$(now)
        as_desk "ulvren format --type $type"
        [ "$status" -eq 0 ] && says "Format successfully!" || fail "format --type $type exited $status"
        # udisks answers an unmount once udev has seen the disk again; a tool that keeps its lock
        # on the disk meanwhile waits out udisks's 20 s instead (a 1 GiB format takes about 2 s).
        took=$(awk -v a="$began" -v b="$(now)" 'BEGIN { print b - a }')
        awk -v t="$took" 'BEGIN { exit !(t < 20) }' || fail "format --type $type waited for udisks: $took s"
        ! mounted "$disk" || fail "the recorder is still mounted after the format"
        fsck_clean "$disk"
        udevadm settle
        serial=$(boot_serial "$disk")
        [ "$(udisks_property "$disk" IdType)" = vfat ] || fail "udisks does not see the vfat"
        [ "$(udisks_property "$disk" IdUUID)" = "$serial" ] ||
            fail "udisks reports $(udisks_property "$disk" IdUUID), the disk has $serial"
        grep -qx "disk_type=$([ $type = public ] && echo 1 || echo 2)" /run/recorder.img.state ||
            fail "the recorder is not a $type disk"
        [ $type = public ] && continue
        as_desk "printf '\\n7secret\\n7secret\\n' | ulvren --trace $seat/trace --password-stdin change-password"
        [ "$status" -eq 0 ] || fail "change-password exited $status: $(tr '\n' ';' <"$seat/trace")"
        as_desk "printf '7secret\\n' | ulvren --password-stdin login"
        [ "$status" -eq 0 ] && says "Login successfully!" || fail "login exited $status"
        as_desk 'ulvren set-clock --time 2031-02-03T04:05:06 --stamp'
        [ "$status" -eq 0 ] || fail "set-clock exited $status"
        grep -qx clock=20310203040506 /run/recorder.img.state || fail "the clock was not set"
    done
    [ "$(journalctl -q -t pkexec | wc -l)" -eq "$pkexec_before" ] ||
        fail "pkexec ran during the operations: $(journalctl -q -t pkexec | tail -n 3)"
    for program in /usr/bin/ulvren /usr/bin/ulvren-tool; do
        [ ! -u "$program" ] && [ ! -g "$program" ] || fail "$program is setuid or setgid"
    done
}

# The window as desk on Qt's offscreen platform: the capacity after a plug, "Device not found"
# after the unplug, the capacity again after a replug, with the ACL applied again.
scenario_hotplug() {
    needs authorize "this build has no ulvren-authorize"
    needs print_detections "this build's ulvren-tool has no --print-detections"
    local plugged shown
    start_window
    wait_for 60 "the window's first detection" grep -qF "$RECORDER_CAPACITY" "$window" || fail "$(cat "$window")"
    unplug_recorder
    wait_for 30 "Device not found" grep -qF "Device not found" "$window" ||
        fail "$(od -c "$window" | tail -n 12; ps -eo pid,user,args | grep '[u]lvren-tool')"
    local detections
    detections=$(grep -cF "$RECORDER_CAPACITY" "$window")
    plugged=$(now)
    plug_recorder
    wait_for 60 "the capacity after the replug" \
        sh -c "[ \$(grep -cF '$RECORDER_CAPACITY' $window) -gt $detections ]" || fail "$(cat "$window")"
    shown=$(now)
    echo "BENCH plug to capacity in the window: $(awk -v a="$plugged" -v b="$shown" 'BEGIN { printf "%.2f", b - a }') s (guest uptime $plugged to $shown)"
    # shellcheck disable=SC2046
    must_have_acl desk $(recorder_nodes)
    stop_window
}

# The second local user has no seat: no ACL on the recorder, and ulvren says rights are missing.
scenario_not_seated() {
    # shellcheck disable=SC2046
    must_lack_acl other $(recorder_nodes)
    as_other 'ulvren detect'
    [ "$status" -eq 1 ] || fail "detect as other exited $status"
    if has authorize; then
        says "ulvren authorize" || fail "detect did not name ulvren authorize"
    else
        says "permission denied" || says "rights" || fail "detect did not say it lacks the rights"
    fi
}

# Revocation removes the rule; after a replug the recorder's nodes carry no ACL for desk.
scenario_revocation() {
    needs authorize "this build has no ulvren-authorize"
    as_desk 'ulvren deauthorize'
    [ "$status" -eq 0 ] || fail "deauthorize exited $status"
    [ -z "$(rules)" ] || fail "the rule is still there: $(rules)"
    unplug_recorder
    plug_recorder
    udevadm settle
    # shellcheck disable=SC2046
    must_lack_acl desk $(recorder_nodes)
    as_desk 'ulvren detect'
    [ "$status" -eq 1 ] || fail "detect after the revocation exited $status"
}

# A real login session without a seat (pam_systemd registers it, as for a remote login): logind
# gives it nothing, and ulvren says that rights are missing.
scenario_remote_session() {
    needs authorize "this build has no ulvren-authorize"
    [ -n "$(rules)" ] || authorize_as_desk
    # shellcheck disable=SC2016 # expanded in the session
    systemd-run --quiet --wait --collect --uid=other -p PAMName=login \
        -p StandardOutput=truncate:/run/remote.out /bin/sh -c \
        'echo "session=$XDG_SESSION_ID seat=$(loginctl show-session "$XDG_SESSION_ID" -p Seat --value)"
         ulvren detect; echo "detect=$?"' || true
    sed 's/^/  remote: /' /run/remote.out
    grep -q '^session=[^ ]' /run/remote.out || fail "logind registered no session"
    grep -q '^session=[^ ]* seat=$' /run/remote.out || fail "the session has a seat"
    grep -qx 'detect=1' /run/remote.out && grep -qF "ulvren authorize" /run/remote.out ||
        fail "detect in the remote session did not say that rights are missing"
    # shellcheck disable=SC2046
    must_lack_acl other $(recorder_nodes)
}

# A second user logs in on tty2 and takes the seat: the recorder goes to that user and away from
# desk, and comes back to desk when desk's session is active again.
scenario_seat_switch() {
    needs authorize "this build has no ulvren-authorize"
    local desk_session second_session
    [ -n "$(rules)" ] || authorize_as_desk
    desk_session=$(seat_session)
    # second's getty was started with the devices, so that the login is over by now.
    wait_for 60 "second's session on tty2" sh -c 'loginctl list-sessions --no-legend | grep -q " second "' ||
        fail "second did not log in on tty2"
    second_session=$(loginctl list-sessions --no-legend | awk '$3 == "second" { print $1 }')
    # What chvt 2 does: logind switches the virtual terminal and the seat follows it.
    loginctl activate "$second_session"
    wait_for 30 "second at the seat" sh -c "[ \"\$(loginctl show-seat seat0 -p ActiveSession --value)\" = $second_session ]" ||
        fail "the seat's active user is $(active_user)"
    udevadm settle
    # shellcheck disable=SC2046 # two nodes
    must_have_acl second $(recorder_nodes)
    # shellcheck disable=SC2046
    must_lack_acl desk $(recorder_nodes)
    loginctl activate "$desk_session"
    wait_for 30 "desk at the seat again" sh -c "[ \"\$(loginctl show-seat seat0 -p ActiveSession --value)\" = $desk_session ]" ||
        fail "desk's session did not come back"
    udevadm settle
    # shellcheck disable=SC2046
    must_have_acl desk $(recorder_nodes)
    # shellcheck disable=SC2046
    must_lack_acl second $(recorder_nodes)
    systemctl stop getty@tty2.service
    loginctl terminate-user second 2>/dev/null || true
}

# A serial that ends in white space: udev matches it without, so must the rule, and authorize
# says it is done only once desk has the nodes.
scenario_serial_whitespace() {
    needs authorize "this build has no ulvren-authorize"
    unplug_recorder
    printf 'REC1\t' >"$gadgets/recorder/strings/0x409/serialnumber"
    plug_recorder
    udevadm settle
    [ "$(udevadm info -q property -n "$(recorder_disk)" | sed -n 's/^ID_SERIAL_SHORT=//p')" = REC1 ] ||
        echo "  (udev's ID_SERIAL_SHORT: $(udevadm info -q property -n "$(recorder_disk)" | grep SERIAL))"
    authorize_as_desk
    # shellcheck disable=SC2046 # every rule file
    grep -qF 'ATTRS{serial}=="REC1"' $(rules) || fail "the rule does not name REC1: $(cat $(rules))"
}

# deauthorize with the recorder plugged in: neither node gives anyone access, at once, after desk
# logs out and in the next session.
scenario_deauthorize_plugged() {
    needs authorize "this build has no ulvren-authorize"
    local nodes session
    [ -n "$(rules)" ] || authorize_as_desk
    nodes=$(recorder_nodes)
    # shellcheck disable=SC2086 # two nodes
    must_have_acl desk $nodes
    as_desk 'ulvren deauthorize'
    [ "$status" -eq 0 ] || fail "deauthorize exited $status"
    [ -z "$(rules)" ] || fail "the rule is still there: $(rules)"
    # shellcheck disable=SC2086 # two nodes
    must_give_nobody $nodes
    as_desk 'ulvren detect'
    [ "$status" -eq 1 ] || fail "detect right after deauthorize exited $status"
    session=$(seat_session)
    rm -f "$seat/ready"
    loginctl terminate-session "$session"
    # shellcheck disable=SC2086
    must_give_nobody $nodes
    wait_for 60 "desk's next session" sh -c "[ -e $seat/ready ] && [ \"\$(loginctl show-seat seat0 -p ActiveSession --value)\" != $session ]" ||
        fail "desk did not log in again"
    [ "$(active_user)" = desk ] || fail "the seat's active user is $(active_user)"
    udevadm settle
    # shellcheck disable=SC2086
    must_give_nobody $nodes
    as_desk 'ulvren detect'
    [ "$status" -eq 1 ] || fail "detect in the next session exited $status"
}

# Removing the package (its maintainer scripts, as dpkg runs them): the rules and the ACLs go.
scenario_package_removal() {
    needs authorize "this build has no ulvren-authorize"
    [ -x /test/deb/prerm ] || skip "this build has no maintainer scripts"
    [ -n "$(rules)" ] || authorize_as_desk
    # shellcheck disable=SC2046
    must_have_acl desk $(recorder_nodes)
    /test/deb/prerm remove
    /test/deb/postrm remove
    /test/deb/postrm purge
    [ -z "$(rules)" ] || fail "the rule is still there: $(rules)"
    # shellcheck disable=SC2046
    must_give_nobody $(recorder_nodes)
}

# Without the sg driver, the helper loads it and asks through the generic nodes alone: the plain
# disk sees its one identify and the kernel's TEST UNIT READY and PREVENT/ALLOW MEDIUM REMOVAL of
# an open, never a READ, MODE SENSE or READ CAPACITY of a re-probe.
scenario_without_sg() {
    needs authorize "this build has no ulvren-authorize"
    local from
    rmmod sg || fail "sg could not be unloaded: $(lsmod | grep '^sg ')"
    udevadm settle
    from=$(($(lines_of "$plain_opcodes") + 1))
    authorize_as_desk
    [ -d /sys/module/sg ] || fail "the helper did not load sg"
    udevadm settle
    sleep 1
    ! tail -n "+$from" "$plain_opcodes" | grep -Eq '^opcode (28|1a|25|5a|9e) ' ||
        fail "the plain disk was read: $(tail -n "+$from" "$plain_opcodes" | cut -d' ' -f2 | sort | uniq -c | tr '\n' ' ')"
}

# Since the authorisation, the plain disk has not received a single vendor command.
scenario_plain_disk_spared() {
    local from=1
    [ -f /run/plain.after-authorisation ] && from=$(($(cat /run/plain.after-authorisation) + 1))
    [ "$(vendor_opcodes "$plain_opcodes" "$from")" -eq 0 ] ||
        fail "vendor commands reached the plain disk: $(tail -n "+$from" "$plain_opcodes" | awk '/^opcode [c-f][0-9a-f] / { print $2 }' | sort | uniq -c | tr '\n' ' ')"
}

# --- several recorders: a second one plugged in beside the first ---------------------------------

# One `ulvren authorize` with both recorders plugged in lets desk reach both: detect lists both,
# --all set-clock sets both clocks, and the window's list names both. Last in the list: it unplugs
# the second recorder as it ends.
window_names() { grep -qF "$1 (" "$window"; }
scenario_two_recorders() {
    needs authorize "this build has no ulvren-authorize"
    local first second
    plug_second_recorder
    udevadm settle
    first=$(disk_on_udc 1)
    second=$(second_recorder_disk)
    as_desk 'ulvren authorize'
    [ "$status" -eq 0 ] || fail "authorize exited $status"
    udevadm settle
    must_have_acl desk "$first" "$(sg_of "$first")" "$second" "$(sg_of "$second")"
    as_desk 'ulvren detect'
    [ "$status" -eq 0 ] && says "Device: $first" && says "Device: $second" ||
        fail "detect as desk did not list both recorders"
    as_desk 'ulvren --all set-clock --time 2033-04-05T06:07:08'
    [ "$status" -eq 0 ] || fail "--all set-clock as desk exited $status"
    grep -qx clock=20330405060708 "$recorder_image.state" &&
        grep -qx clock=20330405060708 "$recorder2_image.state" || fail "not both clocks were set"
    if has print_detections; then
        start_window
        wait_for 60 "the window's list of recorders" window_names "$second" ||
            fail "the window did not list $second: $(cat "$window")"
        window_names "$first" || fail "the window did not list $first: $(cat "$window")"
        stop_window
    fi
    unplug_second_recorder
}

# --- the clock on plug-in (authorize --clock-on-plug, ulvren-set-clock@.service) ---------------

recorder_clock() { sed -n 's/^clock=//p' /run/recorder.img.state; }
vendor_since() { # FROM: the recorder's vendor opcodes from line FROM of its log on, in one line
    tail -n "+$1" /run/recorder.opcodes | awk '/^opcode [c-f][0-9a-f] / { printf "%s ", $2 }'
}
clock_unit() { echo "ulvren-set-clock@$(basename "$(sg_of "$(recorder_disk)")").service"; }
unit_said() { journalctl -q -o cat -u "$(clock_unit)"; }
# Once the recorder's clock is past the known time: the guest's uptime and clock at that moment.
clock_seen() { [ "$(recorder_clock)" \> 20310506070800 ] && echo "$(now) $(date +%s)" >/run/clock.seen; }
clock_units_ran() { journalctl -q -o cat -u 'ulvren-set-clock@*' | wc -l; }
authorize_clock() {
    as_desk 'ulvren authorize --clock-on-plug'
    [ "$status" -eq 0 ] && grep -q 'SYSTEMD_WANTS.*ulvren-set-clock@%k.service' "$(rules)" ||
        fail "authorize --clock-on-plug exited $status: $(cat "$(rules)")"
}
# Unplugs the recorder and notes where its log and the journal stand; replug_recorder plugs it in
# and waits for the set-clock units it asked for.
unplug_and_mark() {
    unplug_recorder
    udevadm settle
    from=$(($(lines_of /run/recorder.opcodes) + 1)) ran=$(clock_units_ran) plugged=$(now)
}
replug_recorder() {
    plug_recorder
    udevadm settle
    wait_for 30 "the set-clock jobs" sh -c '[ -z "$(systemctl list-jobs --no-legend "ulvren-set-clock@*")" ]'
}

# The guest's clock at a known time, a plug: the recorder's clock within 2 s of it, with the time
# stamp, from one clock command; the journal's line names the node and the time.
scenario_clock_on_plug() {
    needs clock_on_plug "this build has no ulvren-set-clock@.service"
    authorize_clock
    date -s '2031-05-06 07:08:09' >/dev/null
    unplug_and_mark
    plug_recorder
    wait_for 30 "the recorder's clock" clock_seen ||
        fail "the clock is $(recorder_clock): $(journalctl -q -o cat -u 'ulvren-set-clock@*' | tail -n 3)"
    local set seen recorder
    read -r set seen </run/clock.seen
    recorder=$(recorder_clock | sed 's/\(....\)\(..\)\(..\)\(..\)\(..\)\(..\)/\1-\2-\3 \4:\5:\6/')
    echo "BENCH plug to clock set: $(awk -v a="$plugged" -v b="$set" 'BEGIN { printf "%.2f", b - a }') s (guest uptime $plugged to $set)"
    awk -v d=$((seen - $(date -d "$recorder" +%s))) 'BEGIN { exit !(d >= -2 && d <= 2) }' ||
        fail "the recorder's clock $recorder is not the guest's $(date -d "@$seen" '+%F %T')"
    grep -qx time_stamp=1 /run/recorder.img.state || fail "the time stamp is not on"
    replug_recorder
    # Where the time went: the unit's start (its sandbox and lock file) and ulvren's run, in uptime.
    systemctl show -p InactiveExitTimestampMonotonic -p ExecMainStartTimestampMonotonic \
        -p ExecMainExitTimestampMonotonic "$(clock_unit)" |
        awk -F= '{ printf "%s %s=%.2f", NR == 1 ? "BENCH the unit (uptime):" : "", $1, $2 / 1e6 } END { print "" }'
    [ "$(vendor_since "$from")" = "f6 fb f9 f6 f5 " ] || fail "the recorder got $(vendor_since "$from")"
    unit_said | grep -q "^$(sg_of "$(recorder_disk)"): the clock was set to ${recorder% *} " ||
        fail "the journal says: $(unit_said)"
}

# A recorder that refuses the clock command: the unit fails and says so; the recorder gets the
# detection (identify, capacity, disk type), the identify and the clock command, once each.
scenario_clock_refused() {
    needs clock_on_plug "this build has no ulvren-set-clock@.service"
    local clock
    authorize_clock
    control vendor refused f5
    clock=$(recorder_clock)
    unplug_and_mark
    replug_recorder
    wait_for 30 "the unit's failure" systemctl -q is-failed "$(clock_unit)" || fail "the unit did not fail"
    control clear
    systemctl reset-failed 'ulvren-set-clock@*'
    unit_said | grep -q "^$(sg_of "$(recorder_disk)"): the clock was not set: " || fail "the journal says: $(unit_said)"
    [ "$(recorder_clock)" = "$clock" ] || fail "the clock changed"
    [ "$(vendor_since "$from")" = "f6 fb f9 f6 f5 " ] || fail "the recorder got $(vendor_since "$from")"
}

# A plain disk matches no rule: its plug starts no unit and sends it no vendor command.
scenario_clock_plain_disk() {
    needs clock_on_plug "this build has no ulvren-set-clock@.service"
    local plain_from
    authorize_clock
    plain_from=$(($(lines_of "$plain_opcodes") + 1)) ran=$(clock_units_ran)
    echo >"$gadgets/plain/UDC"
    wait_for 30 "the plain disk to go" sh -c '! grep -qs "USB Disk" /sys/block/sd*/device/model'
    echo dummy_udc.0 >"$gadgets/plain/UDC"
    wait_for 30 "the plain disk" has_disk "USB Disk"
    udevadm settle
    [ "$(clock_units_ran)" -eq "$ran" ] || fail "a set-clock unit ran"
    [ "$(vendor_opcodes "$plain_opcodes" "$plain_from")" -eq 0 ] || fail "a vendor command reached the plain disk"
}

# The window open on the recorder as it is plugged in: the window shows its capacity, the unit
# sets the clock once, and neither fails.
scenario_clock_with_window() {
    needs clock_on_plug "this build has no ulvren-set-clock@.service"
    needs print_detections "this build's ulvren-tool has no --print-detections"
    local detections
    authorize_clock
    start_window
    wait_for 60 "the window's first detection" grep -qF "$RECORDER_CAPACITY" "$window" || fail "$(cat "$window")"
    unplug_and_mark
    wait_for 30 "Device not found" grep -qF "Device not found" "$window" || fail "$(cat "$window")"
    detections=$(grep -cF "$RECORDER_CAPACITY" "$window")
    replug_recorder
    wait_for 60 "the capacity after the replug" \
        sh -c "[ \$(grep -cF '$RECORDER_CAPACITY' $window) -gt $detections ]" || fail "$(cat "$window")"
    stop_window
    [ "$(systemctl show -p Result --value "$(clock_unit)")" = success ] && unit_said | grep -q 'clock was set' ||
        fail "the unit: $(unit_said | tail -n 2)"
    [ "$(vendor_since "$from" | grep -o f5 | wc -l)" -eq 1 ] || fail "the recorder got $(vendor_since "$from")"
    # What the window shows besides the capacity and the unplug (udev's race between the disk's
    # notice and the generic node's ACL, which has nothing to do with the unit, aside).
    if grep -v -e "$RECORDER_CAPACITY" -e "Device not found" -e "propagateSizeHints" \
        -e 'may not use the recorder yet' "$window"; then
        fail "the window said the above"
    fi
}

# A unit still waiting for the device lock (root's, held here) when the recorder goes ends without
# error and sends nothing.
scenario_clock_recorder_gone() {
    needs clock_on_plug "this build has no ulvren-set-clock@.service"
    local unit
    authorize_clock
    unplug_and_mark
    flock -o /run/ulvren-SCSI.lock sleep 60 &
    plug_recorder
    unit=$(clock_unit)
    wait_for 30 "the unit" sh -c "systemctl show -p ActiveState $unit | grep -qx ActiveState=activating" ||
        fail "the unit is $(systemctl is-active "$unit")"
    unplug_recorder
    wait_for 30 "the unit's end" sh -c "! systemctl show -p ActiveState $unit | grep -qx ActiveState=activating"
    kill $!
    ! systemctl -q is-failed "$unit" || fail "the unit failed: $(journalctl -q -o cat -u "$unit" | tail -n 2)"
    [ -z "$(vendor_since "$from")" ] || fail "the recorder got $(vendor_since "$from")"
}

# Without --clock-on-plug, and after deauthorize, a plug leaves the clock alone.
scenario_clock_not_asked() {
    needs clock_on_plug "this build has no ulvren-set-clock@.service"
    for way in 'ulvren authorize' 'ulvren deauthorize'; do
        as_desk "$way"
        [ "$status" -eq 0 ] || fail "$way exited $status"
        unplug_and_mark
        replug_recorder
        [ -z "$(vendor_since "$from")" ] && [ "$(clock_units_ran)" -eq "$ran" ] || fail "the clock was set after '$way'"
    done
}

# --- the list ----------------------------------------------------------------------------------

scenarios="seat before_authorisation authorisation operations hotplug not_seated remote_session
    seat_switch revocation deauthorize_plugged without_sg serial_whitespace package_removal
    plain_disk_spared"
scenarios="$scenarios clock_on_plug clock_refused clock_plain_disk clock_with_window
    clock_recorder_gone clock_not_asked two_recorders"

# Whatever ends the script reports how and powers the machine off.
trap 'status=$?; echo "GUEST-EXIT $status"; sync; echo o >/proc/sysrq-trigger' EXIT
echo "GUEST: systemd up after $(now) s"
for module in configfs dummy_hcd libcomposite usb_f_fs sg; do
    if [ $module = dummy_hcd ]; then modprobe dummy_hcd num=3; else modprobe $module; fi
done
mountpoint -q /sys/kernel/config || mount -t configfs configfs /sys/kernel/config
# second logs in on tty2 meanwhile, for scenario_seat_switch (an inactive session on seat0).
systemctl start --no-block getty@tty2.service
start_plain_disk || { cat "$responder_log"; exit 1; }
start_recorder $RECORDER_SECTORS || { cat "$responder_log"; exit 1; }
start_second_recorder $RECORDER_SECTORS || { cat "$responder_log"; exit 1; }
udevadm settle
wait_for 120 "the seat agent" test -e "$seat/ready" || exit 1
echo "GUEST: devices and seat ready after $(now) s: recorder at $(recorder_disk), plain disk at $(plain_disk)"

after_failure() {
    echo "the recorder's opcodes since the last job began (count opcode): $(tail -n "+$(($(cat /run/job.opcodes-from) + 1))" /run/recorder.opcodes | cut -d' ' -f2 | uniq -c | tr -s ' \n' ' ')"
}
# desk's session at the seat again (scenario_seat_switch hands the seat away): pkexec asks only
# the active session's user without a password.
desk_at_seat() {
    local session
    session=$(loginctl list-sessions --no-legend | awk '$3 == "desk" && $4 == "seat0" { print $1; exit }')
    [ -z "$session" ] || [ "$(seat_session)" = "$session" ] || loginctl activate "$session"
}
after_scenario() {
    plug_recorder >/dev/null 2>&1 || echo "GUEST: the recorder did not come back"
    desk_at_seat 2>/dev/null || echo "GUEST: desk's session is not at the seat"
}
run_scenarios "$scenarios"
