#!/usr/bin/env bash
# Runs `ulvren` and the window as the user at the seat of a Debian 12 systemd guest, with the
# simulated recorder and a plain disk served over USB (FunctionFS), and udev, logind, udisks2 and
# polkit as a desktop has them.
#
# Builds (once, cached) the guest's root with mmdebstrap and turns it into an ext4 image
# (mkfs.ext4 -d); builds the project as its Debian package installs it; boots Debian's kernel in
# qemu-system-x86_64 (TCG) on a snapshot of that image, with an initramfs that lays this run's
# programs, modules and scenarios (guest/root) over it. Prints the guest's report and exits
# non-zero when a scenario fails or the guest does not finish; 77 (skipped) without root, which
# mmdebstrap needs to build the root with its owners and setuid bits.
#
#   tests/desktop/run_desktop_tests.sh
#   ONLY="seat operations" tests/desktop/...           only these scenarios
#
# build/desktop/ keeps the root image, rebuilt when missing or when its package list changes;
# nothing there is needed for a run to work. Downloads of the kernel are shared with the kernel
# tests (build/kernel/cache).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$repo"  # the presets are found from the source tree
guest=$repo/tests/desktop/guest
work=$repo/build/desktop
cache=$repo/build/kernel/cache
readonly GUEST_SECONDS=${GUEST_SECONDS:-600}
mkdir -p "$work" "$cache"

say() { printf '[%5ds] %s\n' "$SECONDS" "$*"; }

if [[ $(id -u) -ne 0 ]]; then
    echo "SKIP: the desktop guest's root is built with mmdebstrap as root"
    exit 77
fi
for tool in qemu-system-x86_64 mmdebstrap mkfs.ext4 dpkg apt-get objcopy cmake ninja g++; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/setup-debian.sh)" >&2; exit 1; }
done

# shellcheck source=../kernel/debian_kernel.sh
source "$repo/tests/kernel/debian_kernel.sh"

# --- the root image (cached) -------------------------------------------------------------------

# What the guest's root holds: a desktop's device stack, the tools the scenarios use, and the
# shared libraries of the project's programs (Qt from Debian 12, as on the build machine).
root_packages=(
    systemd-sysv udev dbus libpam-systemd udisks2 polkitd pkexec acl kmod dosfstools
    libqt6widgets6 qt6-qpa-plugins fonts-dejavu-core procps
)
image=$work/root.img
stamp=$work/root.packages
if [[ ! -f $image || ! -f $stamp || $(cat "$stamp") != "${root_packages[*]}" ]]; then
    say "building the guest's root with mmdebstrap (Debian 12)"
    rm -rf "$work/root.tmp" "$image" "$stamp"
    # The mirror is the one apt uses on this machine.
    sources=""
    for candidate in /etc/apt/sources.list.d/debian.sources /etc/apt/sources.list; do
        [[ -n $sources || ! -f $candidate ]] || sources=$candidate
    done
    mmdebstrap --quiet --variant=apt --architectures=amd64 \
        --include="$(IFS=,; echo "${root_packages[*]}")" \
        bookworm "$work/root.tmp" ${sources:+"$sources"} >"$work/mmdebstrap.log" 2>&1 ||
        { tail -n 30 "$work/mmdebstrap.log" >&2; exit 1; }
    truncate -s 3G "$image.tmp"
    mkfs.ext4 -q -F -L guest-root -d "$work/root.tmp" "$image.tmp"
    rm -rf "$work/root.tmp"
    mv "$image.tmp" "$image"
    echo "${root_packages[*]}" >"$stamp"
    say "root image built"
fi

# --- kernel and programs -----------------------------------------------------------------------

kernel_package=$(debian_kernel_package)
say "fetching $kernel_package and busybox-static"
kernel_root=$(fetch "$kernel_package")
busybox_root=$(fetch busybox-static)
vmlinuz=$(ls "$kernel_root"/boot/vmlinuz-* | head -n 1)
modules_root=$(ls -d "$kernel_root"/lib/modules/* | head -n 1)

say "building the project as its package installs it, and the static responder"
# The package preset's build, which scripts/package-check.sh uses again.
if [[ ! -f $repo/build/package/build.ninja ]]; then
    cmake --preset package >"$work/package-configure.log" 2>&1 ||
        { cat "$work/package-configure.log" >&2; exit 1; }
fi
cmake --build --preset package >"$work/package-build.log" 2>&1 ||
    { tail -n 50 "$work/package-build.log" >&2; exit 1; }
build_static "$repo/build/kernel/static" ulvren_bot_responder || exit 1

# --- the initramfs: boot modules, busybox, and this run's files over the root ------------------

initramfs=$work/initramfs
payload=$initramfs/payload
rm -rf "$initramfs"
mkdir -p "$initramfs"/{bin,dev,proc,sys,lib/modules} "$payload/usr/local/bin"
cp "$busybox_root/bin/busybox" "$initramfs/bin/"
cp "$guest/initramfs-init" "$initramfs/init"

module_load_order "$modules_root" virtio_pci virtio_blk crc32c_generic ext4
for name in "${order[@]}"; do
    cp "${module_path[$name]}" "$initramfs/lib/modules/$name.ko"
    echo "$name.ko" >>"$initramfs/lib/modules/order"
done

# The guest's modules at their places in the kernel's tree; the guest indexes them (depmod).
module_load_order "$modules_root" virtio_pci virtio_blk crc32c_generic ext4 autofs4 crct10dif_generic \
    crc64_rocksoft_generic configfs dummy_hcd libcomposite usb_f_fs usb_storage sd_mod sg \
    nls_cp437 nls_ascii nls_utf8 nls_iso8859_1 vfat
guest_modules=$payload/usr/lib/modules/$(basename "$modules_root")
for name in "${order[@]}"; do
    relative=${module_path[$name]#"$modules_root"/}
    install -D -m 644 "${module_path[$name]}" "$guest_modules/$relative"
done
cp "$modules_root"/modules.builtin* "$modules_root/modules.order" "$guest_modules/"

DESTDIR=$payload cmake --install "$repo/build/package" >/dev/null
cp "$repo/build/kernel/static/tests/kernel/ulvren_bot_responder" "$payload/usr/local/bin/"
cp -r "$guest/root/." "$payload/"
# The package's maintainer scripts, which the guest runs as dpkg would on a removal.
for script in prerm postrm; do
    [[ ! -f $repo/build/package/deb/scripts/$script ]] ||
        install -D -m 755 "$repo/build/package/deb/scripts/$script" "$payload/test/deb/$script"
done
cp "$repo/tests/kernel/guest/gadgets.sh" "$repo/tests/kernel/guest/scenario_runner.sh" "$payload/test/"

# What this build offers, for the scenarios that need it.
features=()
[[ -x $payload/usr/libexec/ulvren/ulvren-authorize ]] && features+=(authorize)
grep -aqF -- --print-detections "$payload/usr/bin/ulvren-tool" && features+=(print_detections)
[[ -f $payload/usr/lib/systemd/system/ulvren-set-clock@.service ]] && features+=(clock_on_plug)
printf '%s\n' "${features[@]}" >"$payload/test/features"

(cd "$initramfs" && find . | "$initramfs/bin/busybox" cpio -o -H newc 2>/dev/null | gzip -1) \
    >"$work/initramfs.gz"
say "initramfs: $(du -h "$work/initramfs.gz" | cut -f1); the build offers: ${features[*]:-nothing more}"

# --- the guest ---------------------------------------------------------------------------------

say "booting the guest (TCG)"
log=$work/console.log
boot_start=$SECONDS
append="root=/dev/vda console=ttyS0 panic=-1 quiet systemd.show_status=0"
append+=" block.events_dfl_poll_msecs=0"
[[ -n ${ONLY:-} ]] && append+=" ulvren.only=${ONLY// /,}"
set +e
timeout --kill-after=10 "$GUEST_SECONDS" qemu-system-x86_64 -accel tcg -smp 2 -m 2048 \
    -nographic -no-reboot -net none -snapshot \
    -drive "file=$image,if=virtio,format=raw" \
    -kernel "$vmlinuz" -initrd "$work/initramfs.gz" -append "$append" </dev/null 2>&1 |
    stdbuf -oL tr -d '\r' | tee "$log" |
    while IFS= read -r line; do
        case $line in
        GUEST* | SCENARIO* | BENCH*) say "$line" ;;
        esac
    done
set -e
say "guest ended after $((SECONDS - boot_start)) s"

# --- the report --------------------------------------------------------------------------------

report_guest "$log" "desktop scenario report ($kernel_package, Debian 12 systemd guest)" desktop
