#!/usr/bin/env bash
# Runs `ulvren` against the simulated recorder served as a USB device to a real Linux kernel.
#
# Fetches Debian's kernel, busybox-static and dosfstools (apt-get download, dpkg -x), builds static
# `ulvren` and ulvren_bot_responder, packs them with the guest scripts into a busybox initramfs,
# boots it in qemu-system-x86_64 (TCG) and prints the guest's report. Exits non-zero when any
# scenario fails or the guest does not finish.
#
#   tests/kernel/run_kernel_tests.sh                      the scenario list (guest/scenarios.sh)
#   tests/kernel/run_kernel_tests.sh --guest FILE         another guest script (the benchmark)
#   ONLY="detect format_public" tests/kernel/...          only these scenarios
#   GUEST_APPEND="ulvren.reps=9" ...                      more words for the kernel command line
#
# Downloads and builds are kept under build/kernel/ and used again by later runs; nothing there
# is needed for a run to work.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
guest_script=$repo/tests/kernel/guest/scenarios.sh
if [[ ${1:-} == --guest ]]; then
    guest_script=$(realpath "$2")
    shift 2
fi
[[ $# -eq 0 ]] || { echo "usage: $0 [--guest FILE]" >&2; exit 2; }

work=$repo/build/kernel
cache=$work/cache
readonly GUEST_SECONDS=${GUEST_SECONDS:-720}
mkdir -p "$cache"

say() { printf '[%5ds] %s\n' "$SECONDS" "$*"; }

for tool in qemu-system-x86_64 dpkg apt-get objcopy cmake ninja g++; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/setup-debian.sh)" >&2; exit 1; }
done

# --- downloads ---------------------------------------------------------------------------------

# shellcheck source=debian_kernel.sh
source "$repo/tests/kernel/debian_kernel.sh"
kernel_package=$(debian_kernel_package)
say "fetching $kernel_package, busybox-static, dosfstools"
kernel_root=$(fetch "$kernel_package")
busybox_root=$(fetch busybox-static)
dosfstools_root=$(fetch dosfstools)
vmlinuz=$(ls "$kernel_root"/boot/vmlinuz-* | head -n 1)
modules_root=$(ls -d "$kernel_root"/lib/modules/* | head -n 1)

# --- static builds -----------------------------------------------------------------------------

say "building static ulvren and ulvren_bot_responder"
build_static "$work/static" ulvren ulvren_bot_responder || exit 1

# --- initramfs ---------------------------------------------------------------------------------

root=$work/initramfs
rm -rf "$root"
mkdir -p "$root"/{bin,sbin,proc,sys,dev,run,test,etc,lib/modules}
install -d -m 1777 "$root/tmp"
cp "$busybox_root/bin/busybox" "$root/bin/busybox"
cp "$work/static/src/cli/ulvren" "$work/static/tests/kernel/ulvren_bot_responder" "$root/bin/"
cp "$repo/tests/kernel/guest/init" "$root/init"
cp "$repo/tests/kernel/guest/gadgets.sh" "$repo/tests/kernel/guest/scenario_runner.sh" \
    "$repo/tests/support/fsck_fat.sh" "$root/test/"
cp "$guest_script" "$root/test/run.sh"
chmod +x "$root/init" "$root/test/run.sh"
# nobody: no rights to the disks; operator: in group disk, without CAP_SYS_RAWIO.
printf 'root:x:0:0::/:/bin/sh\nnobody:x:65534:65534::/:/bin/sh\noperator:x:1000:6::/:/bin/sh\n' \
    >"$root/etc/passwd"
printf 'root:x:0:\ndisk:x:6:\nnogroup:x:65534:\n' >"$root/etc/group"

# fsck.fat and mkfs.fat with the shared libraries they load, and iconv's modules for code pages
# 1252 (ulvren's passwords) and 850 (fsck.fat's labels): glibc loads them at run time even into
# the static ulvren, and their libc finds the dynamic loader in the library directory.
cp "$dosfstools_root/sbin/fsck.fat" "$dosfstools_root/sbin/mkfs.fat" "$root/sbin/"
libdir=/lib/x86_64-linux-gnu
mkdir -p "$root$libdir"
for library in $(ldd "$dosfstools_root/sbin/fsck.fat" | grep -o '/[^ ]*'); do
    mkdir -p "$root$(dirname "$library")"
    cp -L "$library" "$root$library"
    [[ -e $root$libdir/$(basename "$library") ]] || cp -L "$library" "$root$libdir/"
done
gconv=/usr/lib/x86_64-linux-gnu/gconv
mkdir -p "$root$gconv"
cp -r "$gconv/gconv-modules" "$gconv/gconv-modules.d" "$gconv/CP1252.so" "$gconv/IBM850.so" \
    "$root$gconv/"

# Modules and their load order.
# sd_mod finds its integrity checksums through the crypto API: their modules are named here.
module_load_order "$modules_root" crct10dif_generic crc64_rocksoft_generic configfs dummy_hcd \
    libcomposite usb_f_mass_storage usb_f_fs usb_storage sd_mod sg nls_cp437 nls_ascii vfat
for name in "${order[@]}"; do
    cp "${module_path[$name]}" "$root/lib/modules/$name.ko"
    options=""
    # Three UDCs: the plain disks, the recorder and a second recorder.
    [[ $name == dummy_hcd ]] && options="num=3"
    echo "$name.ko $options" >>"$root/lib/modules/order"
done

(cd "$root" && find . | "$root/bin/busybox" cpio -o -H newc 2>/dev/null | gzip -1) >"$work/initramfs.gz"
say "initramfs: $(du -h "$work/initramfs.gz" | cut -f1), ${#order[@]} modules"

# --- the guest ---------------------------------------------------------------------------------

say "booting the guest (TCG)"
log=$work/console.log
boot_start=$SECONDS
append="console=ttyS0 panic=-1 quiet block.events_dfl_poll_msecs=0 ulvren.run=run"
[[ -n ${ONLY:-} ]] && append+=" ulvren.only=${ONLY// /,}"
[[ -n ${GUEST_APPEND:-} ]] && append+=" $GUEST_APPEND"
set +e
timeout --kill-after=10 "$GUEST_SECONDS" qemu-system-x86_64 -accel tcg -smp 2 -m 768 \
    -nographic -no-reboot -net none -kernel "$vmlinuz" -initrd "$work/initramfs.gz" \
    -append "$append" </dev/null 2>&1 | tr -d '\r' | tee "$log" |
    while IFS= read -r line; do
        case $line in
        GUEST:* | SCENARIO* | BENCH* | GUEST-EXIT*) say "$line" ;;
        esac
    done
set -e
say "guest ended after $((SECONDS - boot_start)) s"

# --- the report --------------------------------------------------------------------------------

report_guest "$log" "scenario report ($kernel_package, guest script $(basename "$guest_script"))" kernel
