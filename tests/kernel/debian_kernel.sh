# Debian's kernel and packages for the QEMU guests, sourced by the guest drivers (bash).
#
# Before sourcing, set `repo` to the source tree and `cache` to the download directory. Provides:
#   fetch PACKAGE                    downloads (once) and unpacks a package; prints where
#   debian_kernel_package            the linux-image-*-amd64 package that linux-image-amd64 names
#   module_load_order ROOT NAME...   the modules of an unpacked kernel that NAME... need, each
#                                    after what it needs, in the array `order`; their paths in the
#                                    associative array `module_path`
#   build_static DIR TARGET...       static Release builds of the project's TARGETs in DIR

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

debian_kernel_package() {
    local package
    package=$(ls "$cache" 2>/dev/null | sed -n 's/^\(linux-image-[0-9].*-amd64\)_.*\.deb$/\1/p' | tail -n 1)
    if [[ -z $package ]]; then
        depends() { apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[0-9].*\)$/\1/p' | head -n 1; }
        package=$(depends)
        if [[ -z $package ]]; then
            apt-get update -qq || true  # an index caught mid-update fails the call, not the others
            package=$(depends)
        fi
        [[ -n $package ]] || { echo "cannot tell which kernel linux-image-amd64 depends on" >&2; return 1; }
    fi
    echo "$package"
}

# The package ships no modules.dep: each module's .modinfo names what it needs (depends=, and
# softdep= "pre:" entries), and those are loaded first.
declare -A module_path=() module_seen=()
order=()
modinfo_field() { # MODULE_PATH FIELD
    objcopy -O binary --only-section=.modinfo "$1" /dev/stdout 2>/dev/null | tr '\0' '\n' |
        sed -n "s/^$2=//p"
}
# A soft dependency may name a crypto algorithm rather than a module (crc-t10dif's "crct10dif"):
# those are left to the caller's list.
visit_module() { # NAME [soft]
    local name=${1//-/_} dependency
    [[ -n ${module_seen[$name]:-} ]] && return 0
    local path=${module_path[$name]:-}
    if [[ -z $path ]]; then
        [[ ${2:-} == soft ]] && return 0
        echo "module $name is not in the kernel package" >&2
        exit 1
    fi
    module_seen[$name]=1
    for dependency in $(modinfo_field "$path" depends | tr ',' ' '); do
        visit_module "$dependency"
    done
    for dependency in $(modinfo_field "$path" softdep | sed -n 's/.*pre: *\([^:]*\)\( post:.*\)\{0,1\}$/\1/p'); do
        visit_module "$dependency" soft
    done
    order+=("$name")
}
module_load_order() { # MODULES_ROOT NAME...
    local modules_root=$1 path name
    shift
    module_path=() module_seen=() order=()
    while IFS= read -r path; do
        name=$(basename "$path" .ko)
        module_path[${name//-/_}]=$path
    done < <(find "$modules_root/kernel" -name '*.ko')
    for name in "$@"; do
        visit_module "$name"
    done
}

build_static() { # DIR TARGET...
    local dir=$1
    shift
    if [[ ! -f $dir/build.ninja ]]; then
        cmake -S "$repo" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_EXE_LINKER_FLAGS=-static >"$dir-configure.log" 2>&1 ||
            { cat "$dir-configure.log" >&2; return 1; }
    fi
    cmake --build "$dir" --target "$@" >"$dir-build.log" 2>&1 || { tail -n 50 "$dir-build.log" >&2; return 1; }
}

# Prints a guest's report from its console LOG: the scenarios' PASS, FAIL and SKIP lines and its
# BENCH lines, then "NAME: N passed, N failed, N skipped"; a guest that did not finish, or whose
# scenarios ended badly without a FAIL line, counts as a failure. Fails when anything failed.
report_guest() { # LOG TITLE NAME
    local log=$1 passed failed skipped guest_exit
    echo
    echo "$2:"
    passed=$(grep -c '^SCENARIO PASS' "$log" || true)
    failed=$(grep -c '^SCENARIO FAIL' "$log" || true)
    skipped=$(grep -c '^SCENARIO SKIP' "$log" || true)
    grep '^SCENARIO \(PASS\|FAIL\|SKIP\)\|^  | ' "$log" | sed 's/^SCENARIO /  /' || true
    grep '^BENCH' "$log" | sed 's/^BENCH /  /' || true
    guest_exit=$(sed -n 's/^GUEST-EXIT \([0-9]*\)$/\1/p' "$log" | tail -n 1)
    if [[ -z $guest_exit ]]; then
        echo "the guest did not finish within $GUEST_SECONDS s; the console's end:"
        tail -n 40 "$log"
        failed=$((failed + 1))
    elif [[ $guest_exit -ne 0 && $failed -eq 0 ]]; then
        echo "the guest's scenarios ended with status $guest_exit; the console's end:"
        tail -n 40 "$log"
        failed=$((failed + 1))
    fi
    echo "$3: $passed passed, $failed failed, $skipped skipped"
    [[ $failed -eq 0 ]]
}
