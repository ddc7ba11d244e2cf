#!/usr/bin/env bash
# Checks the layering of src/ by its includes:
# - a file includes only its own folder and the folders of the layers beneath its own (the table
#   below): nothing includes a layer above it, and no platform's code includes another's (one host
#   or one view from another);
# - no include cycle between folders;
# - only src/hosts/ and the toolkit folders of src/views/ include headers beyond the C++ standard
#   library, each only those of its system or toolkit.
#
# Usage: layers.sh [ROOT] (the tree to check; by default the one this script is in)
set -euo pipefail
# The tables hold glob patterns, matched by [[ ]] only: words are never expanded to file names.
set -f
cd "${1:-$(dirname "$0")/../..}"

# The layers, lowest first: a layer's folders under src/ (each with its subfolders) and the layers
# it stands on, each named on a row above it. A file may include the folders of every layer its
# own stands on, directly or through others; folders that share a row are peers that do not
# include one another.
layer_table=(
    # layer      folders                                stands on
    "protocol   | protocol                             |"
    "seam       | host                                 | protocol"
    "text       | text                                 | protocol"
    "format     | format                               | protocol"
    "recorder   | recorder                             | seam"
    "device     | device                               | seam format"
    "operations | operations                           | device"
    "ui         | ui                                   | operations text"
    "posix      | hosts/posix                          | seam"
    "linux      | hosts/linux                          | posix"
    "windows    | hosts/windows                        | seam text"
    "simulated  | hosts/simulated                      | recorder"
    "front-ends | cli resources views/qt views/win32   | ui simulated"
    "helper     | hosts/linux/authorize/helper         | device linux"
)

# Who may include headers beyond the C++ standard library, and which (glob patterns): a file gets
# the rows of its folder, of the folders above it and of its own path.
system_header_table=(
    # folder or file                       | headers
    "hosts                                 | *"
    "views/qt                              | Q*"
    # The demo's start-up check reads how long ago the process started from /proc and the clock
    # since boot; the demo runs on Linux only.
    "views/qt/demo/startup_check.cpp       | time.h unistd.h"
    "views/win32                           | windows.h commctrl.h dbt.h"
)

standard_headers=" algorithm any array atomic barrier bit bitset cassert cctype cerrno cfloat
    charconv chrono cinttypes climits clocale cmath codecvt compare complex concepts
    condition_variable coroutine csignal cstdarg cstddef cstdint cstdio cstdlib cstring ctime
    cuchar cwchar cwctype deque exception execution expected filesystem format forward_list
    fstream functional future initializer_list iomanip ios iosfwd iostream istream iterator
    latch limits list locale map memory memory_resource mutex new numbers numeric optional
    ostream queue random ranges ratio regex scoped_allocator semaphore set shared_mutex
    source_location span sstream stack stdexcept stop_token streambuf string string_view
    syncstream system_error thread tuple type_traits typeindex typeinfo unordered_map
    unordered_set utility valarray variant vector version "
standard_headers=" $(echo $standard_headers) "

failures=0
fail() {
    echo "$1"
    failures=$((failures + 1))
}

declare -A layer_of_folder=() beneath=()
for row in "${layer_table[@]}"; do
    IFS='|' read -r layer folders stands_on <<<"$row"
    layer=${layer//[[:space:]]/}
    closure=""
    for lower in $stands_on; do
        [[ -v beneath[$lower] ]] || {
            echo "layer table: $layer stands on $lower, which is not on a row above it"
            exit 2
        }
        closure+=" $lower ${beneath[$lower]}"
    done
    beneath[$layer]=" $(echo $closure) "
    for folder in $folders; do
        layer_of_folder[$folder]=$layer
    done
done

# Sets `found` to the table's folder that holds `folder` (itself or the nearest folder above it),
# or to nothing.
table_folder() {
    local folder=$1
    while [[ $folder == */* && ! -v layer_of_folder[$folder] ]]; do
        folder=${folder%/*}
    done
    found=""
    [[ -v layer_of_folder[$folder] ]] && found=$folder
    return 0
}

is_platform() {
    [[ $1 == hosts/* || $1 == views/* ]]
}

# Sets `allowed` to the system headers that the file at `path` may include.
allowed_system_headers() {
    local path=$1 row key headers
    allowed=""
    for row in "${system_header_table[@]}"; do
        IFS='|' read -r key headers <<<"$row"
        key=${key//[[:space:]]/}
        if [[ $path == "$key" || $path == "$key"/* ]]; then
            allowed+=" $headers"
        fi
    done
}

edges=$(mktemp)
trap 'rm -f "$edges"' EXIT

check_system_header() {
    local header=$1 pattern
    [[ $standard_headers == *" $header "* ]] && return
    for pattern in $allowed; do
        # shellcheck disable=SC2053 # the table's entries are glob patterns
        [[ $header == $pattern ]] && return
    done
    fail "$file includes <$header>, which belongs behind the platform seam (src/hosts/) or in a view of its toolkit"
}

check_project_header() {
    local header=$1 target target_own
    [[ $header == */* ]] || return 0
    target=${header%/*}
    [[ $target != "$folder" ]] && echo "$folder $target" >>"$edges"
    table_folder "$target"
    target_own=$found
    if [[ -z $target_own ]]; then
        fail "$file includes \"$header\", whose folder is in no layer of the table in $0"
    elif [[ $target_own == "$own" || ${beneath[$layer]} == *" ${layer_of_folder[$target_own]} "* ]]; then
        return 0
    elif is_platform "$own" && is_platform "$target_own"; then
        fail "$file includes \"$header\": $own does not include another platform's $target_own"
    else
        fail "$file includes \"$header\": $target_own (layer ${layer_of_folder[$target_own]}) is not beneath $own (layer $layer)"
    fi
}

# Every file's includes in one pass, as "<file>:<header>" or "<file>:\"header\"", each file first
# as "<file>:" so that a file without includes is placed in its layer too.
file=""
while IFS= read -r entry; do
    if [[ ${entry%%:*} != "$file" ]]; then
        file=${entry%%:*}
        path=${file#src/}
        folder=${path%/*}
        table_folder "$folder"
        own=$found
        layer=""
        if [[ -n $own ]]; then
            layer=${layer_of_folder[$own]}
        else
            fail "$file: its folder is in no layer of the table in $0"
        fi
        allowed_system_headers "$path"
    fi
    [[ -z $own ]] && continue
    include=${entry#*:}
    case $include in
        \<*) check_system_header "${include:1:-1}" ;;
        \"*) check_project_header "${include:1:-1}" ;;
    esac
done < <(find src \( -name '*.h' -o -name '*.cpp' \) -type f -print0 | sort -z |
    xargs -0 awk 'FNR == 1 { print FILENAME ":" }
        match($0, /^[ \t]*#[ \t]*include[ \t]*[<"][^>"]*[>"]/) {
            include = substr($0, RSTART, RLENGTH)
            sub(/^[ \t]*#[ \t]*include[ \t]*/, "", include)
            print FILENAME ":" include
        }')

if ! loop=$(sort -u "$edges" | tsort 2>&1 >/dev/null); then
    fail "the folders include one another in a cycle: $(echo $(grep -v 'contains a loop' <<<"$loop" | sed 's/^tsort: //'))"
fi

if ((failures > 0)); then
    echo "the layering is broken in $failures place(s)"
    exit 1
fi
echo "layering holds"
