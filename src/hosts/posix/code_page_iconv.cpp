// Code-page conversion through the C library's iconv, which knows the Windows code pages as
// CP1252, CP936 and CP950.
#include <errno.h>
#include <iconv.h>

#include <vector>

#include "host/platform.h"

namespace ulvren::platform {

std::optional<std::string> Utf8ToCodePage(std::string_view utf8, unsigned code_page) {
    const std::string target = "CP" + std::to_string(code_page);
    iconv_t converter = iconv_open(target.c_str(), "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string input(utf8);
    // Every code page here takes at most two bytes for a character that UTF-8 writes in one or
    // more, so the output never outgrows twice the input.
    std::vector<char> output(input.size() * 2 + 4);
    char* in = input.data();
    std::size_t in_left = input.size();
    char* out = output.data();
    std::size_t out_left = output.size();
    const std::size_t converted = iconv(converter, &in, &in_left, &out, &out_left);
    const bool flushed =
        iconv(converter, nullptr, nullptr, &out, &out_left) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    // iconv counts irreversible conversions (characters it had to approximate) in its result.
    if (converted != 0 || in_left != 0 || !flushed) {
        return std::nullopt;
    }
    return std::string(output.data(), output.size() - out_left);
}

}  // namespace ulvren::platform
