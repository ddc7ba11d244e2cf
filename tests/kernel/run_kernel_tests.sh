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

# Downloads PACKAGE into the cache unless a version of it is there, and unpacks it; prints where.
fetch() { # PACKAGE
    local package=$1 unpacked=$cache/$1
    if ! ls "$cache/$package"_*.deb >/dev/null 2>&1; then
        (cd "$cache" && apt-get download -q "$package" 2>&1 | grep -v '^W: Download is performed unsandboxed' >&2) ||
            { echo "cannot download $package" >&2; return 1; }
    fi
    if [[ ! -d $unpacked ]]; then
        dpkg -x "$(ls "$cache/$package"_*.deb | tail -n 1)" "$unpacked.tmp"
        mv "$unpacked.tmp" "$unpacked"
    fi
    echo "$unpacked"
}

kernel_package=$(ls "$cache" 2>/dev/null | sed -n 's/^\(linux-image-[0-9].*-amd64\)_.*\.deb$/\1/p' | tail -n 1)
if [[ -z $kernel_package ]]; then
    depends() { apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[0-9].*\)$/\1/p' | head -n 1; }
    kernel_package=$(depends)
    if [[ -z $kernel_package ]]; then
        apt-get update -qq || true  # an index caught mid-update fails the call, not the others
        kernel_package=$(depends)
    fi
    [[ -n $kernel_package ]] || { echo "cannot tell which kernel linux-image-amd64 depends on" >&2; exit 1; }
fi
say "fetching $kernel_package, busybox-static, dosfstools"
kernel_root=$(fetch "$kernel_package")
busybox_root=$(fetch busybox-static)
dosfstools_root=$(fetch dosfstools)
vmlinuz=$(ls "$kernel_root"/boot/vmlinuz-* | head -n 1)
modules_root=$(ls -d "$kernel_root"/lib/modules/* | head -n 1)

# --- static builds -----------------------------------------------------------------------------

say "building static ulvren and ulvren_bot_responder"
if [[ ! -f $work/static/build.ninja ]]; then
    cmake -S "$repo" -B "$work/static" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_EXE_LINKER_FLAGS=-static >"$work/static-configure.log" 2>&1 ||
        { cat "$work/static-configure.log" >&2; exit 1; }
fi
cmake --build "$work/static" --target ulvren ulvren_bot_responder >"$work/static-build.log" 2>&1 ||
    { tail -n 50 "$work/static-build.log" >&2; exit 1; }

# --- initramfs ---------------------------------------------------------------------------------

root=$work/initramfs
rm -rf "$root"
mkdir -p "$root"/{bin,sbin,proc,sys,dev,run,test,etc,lib/modules}
install -d -m 1777 "$root/tmp"
cp "$busybox_root/bin/busybox" "$root/bin/busybox"
cp "$work/static/src/cli/ulvren" "$work/static/tests/kernel/ulvren_bot_responder" "$root/bin/"
cp "$repo/tests/kernel/guest/init" "$root/init"
cp "$repo/tests/kernel/guest/gadgets.sh" "$repo/tests/support/fsck_fat.sh" "$root/test/"
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

# Modules and their load order. The package ships no modules.dep: each module's .modinfo names
# what it needs (depends=, and softdep= "pre:" entries), and those are loaded first.
declare -A module_path=() module_seen=()
while IFS= read -r path; do
    name=$(basename "$path" .ko)
    module_path[${name//-/_}]=$path
done < <(find "$modules_root/kernel" -name '*.ko')
modinfo_field() { # MODULE_PATH FIELD
    objcopy -O binary --only-section=.modinfo "$1" /dev/stdout 2>/dev/null | tr '\0' '\n' |
        sed -n "s/^$2=//p"
}
order=()
# A soft dependency may name a crypto algorithm rather than a module (crc-t10dif's "crct10dif"):
# those are left to the list below.
visit() { # NAME [soft]
    local name=${1//-/_} dependency
    [[ -n ${module_seen[$name]:-} ]] && return 0
    local path=${module_path[$name]:-}
    if [[ -z $path ]]; then
        [[ ${2:-} == soft ]] && return 0
        echo "module $name is not in $kernel_package" >&2
        exit 1
    fi
    module_seen[$name]=1
    for dependency in $(modinfo_field "$path" depends | tr ',' ' '); do
        visit "$dependency"
    done
    for dependency in $(modinfo_field "$path" softdep | sed -n 's/.*pre: *\([^:]*\)\( post:.*\)\{0,1\}$/\1/p'); do
        visit "$dependency" soft
    done
    order+=("$name")
}
# sd_mod finds its integrity checksums through the crypto API: their modules are named here.
wanted=(crct10dif_generic crc64_rocksoft_generic configfs dummy_hcd libcomposite
    usb_f_mass_storage usb_f_fs usb_storage sd_mod sg nls_cp437 nls_ascii vfat)
for module in "${wanted[@]}"; do
    visit "$module"
done
for name in "${order[@]}"; do
    cp "${module_path[$name]}" "$root/lib/modules/$name.ko"
    options=""
    [[ $name == dummy_hcd ]] && options="num=2"  # two UDCs: the plain disks and the recorder
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

echo
echo "scenario report ($kernel_package, guest script $(basename "$guest_script")):"
passed=$(grep -c '^SCENARIO PASS' "$log" || true)
failed=$(grep -c '^SCENARIO FAIL' "$log" || true)
grep '^SCENARIO \(PASS\|FAIL\)\|^  | ' "$log" | sed 's/^SCENARIO /  /' || true
grep '^BENCH' "$log" | sed 's/^BENCH /  /' || true
guest_exit=$(sed -n 's/^GUEST-EXIT \([0-9]*\)$/\1/p' "$log" | tail -n 1)
if [[ -z $guest_exit ]]; then
    echo "the guest did not finish within $GUEST_SECONDS s; the console's end:"
    tail -n 40 "$log"
    failed=$((failed + 1))
elif [[ $guest_exit -ne 0 && $failed -eq 0 ]]; then
    echo "the guest script ended with status $guest_exit; the console's end:"
    tail -n 40 "$log"
    failed=$((failed + 1))
fi
echo "kernel: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
