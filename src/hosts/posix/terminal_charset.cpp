// The terminal's character set from the locale (nl_langinfo(CODESET)), converted with iconv.
#include <errno.h>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <vector>

#include "host/command_line_services.h"

namespace ulvren::platform {
namespace {

// The character set a locale name carries after its dot ("zh_TW.Big5" gives "Big5"), for a
// locale that this system has not generated: iconv still knows the character set.
std::string CharsetOfLocaleName(const char* name) {
    const std::string locale = name == nullptr ? "" : name;
    const auto dot = locale.find('.');
    if (dot == std::string::npos) {
        return "";
    }
    return locale.substr(dot + 1, locale.find('@', dot) - dot - 1);
}

std::string CurrentCharset() {
    // Asked of the user's locale, then the program's own (the C library's default) is put back.
    const std::string program_locale = setlocale(LC_CTYPE, nullptr);
    if (setlocale(LC_CTYPE, "") != nullptr) {
        std::string charset = nl_langinfo(CODESET);
        setlocale(LC_CTYPE, program_locale.c_str());
        return charset;
    }
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return CharsetOfLocaleName(value);
        }
    }
    return "";
}

bool IsUtf8OrAscii(std::string charset) {
    for (char& c : charset) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return charset.empty() || charset == "UTF-8" || charset == "UTF8" ||
           charset == "ANSI_X3.4-1968" || charset == "ASCII" || charset == "US-ASCII";
}

// One iconv conversion of a whole text. With `replace`, a character that the target lacks (or
// input that is not in the source set) becomes "?" and the conversion goes on; without, it ends
// the conversion with nothing.
std::optional<std::string> Convert(const std::string& to, const std::string& from,
                                   std::string_view text, bool replace) {
    iconv_t converter = iconv_open(to.c_str(), from.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string input(text);
    std::string result;
    char* in = input.data();
    std::size_t in_left = input.size();
    std::vector<char> buffer(input.size() * 4 + 16);
    bool failed = false;
    while (in_left > 0 && !failed) {
        char* out = buffer.data();
        std::size_t out_left = buffer.size();
        const std::size_t converted = iconv(converter, &in, &in_left, &out, &out_left);
        result.append(buffer.data(), buffer.size() - out_left);
        if (converted != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            continue;
        }
        if (!replace) {
            failed = true;
            break;
        }
        // Skip the one character that cannot be converted (a whole UTF-8 sequence, or one byte).
        result += '?';
        std::size_t skip = 1;
        if (from == "UTF-8") {
            while (skip < in_left && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80) {
                ++skip;
            }
        }
        in += skip;
        in_left -= skip;
    }
    iconv_close(converter);
    if (failed) {
        return std::nullopt;
    }
    return result;
}

class IconvTerminalCharset final : public TerminalCharset {
  public:
    explicit IconvTerminalCharset(std::string charset) : charset_(std::move(charset)) {}

    std::string FromUtf8(std::string_view utf8) const override {
        return Convert(charset_, "UTF-8", utf8, true).value_or(std::string(utf8));
    }
    std::optional<std::string> ToUtf8(std::string_view typed) const override {
        return Convert("UTF-8", charset_, typed, false);
    }

  private:
    std::string charset_;
};

}  // namespace

std::unique_ptr<TerminalCharset> OpenTerminalCharset() {
    const std::string charset = CurrentCharset();
    if (IsUtf8OrAscii(charset)) {
        return nullptr;
    }
    // A character set iconv does not know is left alone, as before.
    iconv_t probe = iconv_open(charset.c_str(), "UTF-8");
    if (probe == reinterpret_cast<iconv_t>(-1)) {
        return nullptr;
    }
    iconv_close(probe);
    return std::make_unique<IconvTerminalCharset>(charset);
}

}  // namespace ulvren::platform
