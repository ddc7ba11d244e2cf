#!/usr/bin/env bash
# Checks the layering by the includes of src/:
# - only src/hosts/<platform>/ and the views (src/views/) include operating-system or toolkit
#   headers; everything else includes the C++ standard library and the project's own headers;
# - nothing in the host seam, the device layer, the FAT32 writer, the operations or the windows'
#   logic includes a host implementation (src/hosts/) or the firmware model (src/recorder/).
set -euo pipefail
cd "$(dirname "$0")/../.."

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

while IFS= read -r file; do
    case "$file" in
        src/hosts/*/* | src/views/*) continue ;;
    esac
    while IFS= read -r header; do
        [[ $standard_headers == *" $header "* ]] ||
            fail "$file includes <$header>, which belongs behind the platform seam (src/hosts/) or in a view"
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<\([^>]*\)>.*/\1/p' "$file")
done < <(git ls-files 'src/*.h' 'src/*.cpp')

while IFS= read -r file; do
    while IFS= read -r header; do
        fail "$file includes \"$header\": the layers below the front ends do not know the host implementations or the firmware model"
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\(\(hosts\|recorder\)\/[^"]*\)".*/\1/p' "$file")
done < <(git ls-files 'src/host/*' 'src/device/*' 'src/format/*' 'src/operations/*' 'src/ui/*' |
    grep -E '\.(h|cpp)$')

if ((failures > 0)); then
    echo "$failures include(s) break the layering"
    exit 1
fi
echo "layering holds"
