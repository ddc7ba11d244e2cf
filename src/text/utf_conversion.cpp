#include "text/utf_conversion.h"

namespace ulvren {
namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr char32_t kLastCodePoint = 0x10FFFF;

bool IsContinuationByte(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}
bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The length of the sequence that `lead` starts and the value bits it carries, or 0 for a byte
// that cannot start a sequence (a continuation byte, 0xF8 and above).
int SequenceLength(unsigned char lead, char32_t& bits) {
    if (lead < 0x80) {
        bits = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        bits = lead & 0x1F;
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        bits = lead & 0x0F;
        return 3;
    }
    if ((lead & 0xF8) == 0xF0) {
        bits = lead & 0x07;
        return 4;
    }
    return 0;
}

// The smallest value that needs a sequence of `length` bytes; anything below is overlong.
char32_t SmallestValueOfLength(int length) {
    switch (length) {
        case 2:
            return 0x80;
        case 3:
            return 0x800;
        case 4:
            return 0x10000;
        default:
            return 0;
    }
}

void AppendUtf16(char32_t code_point, std::u16string& out) {
    if (code_point < 0x10000) {
        out.push_back(static_cast<char16_t>(code_point));
        return;
    }
    const char32_t offset = code_point - 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
}

void AppendUtf8(char32_t code_point, std::string& out) {
    if (code_point < 0x80) {
        out.push_back(static_cast<char>(code_point));
    } else if (code_point < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code_point >> 6)));
        out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    } else if (code_point < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code_point >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code_point >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    }
}

}  // namespace

std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t position = 0;
    while (position < utf8.size()) {
        char32_t code_point = 0;
        const int length = SequenceLength(static_cast<unsigned char>(utf8[position]), code_point);
        if (length == 0 || utf8.size() - position < static_cast<std::size_t>(length)) {
            return std::nullopt;
        }
        for (int i = 1; i < length; ++i) {
            const auto byte = static_cast<unsigned char>(utf8[position + i]);
            if (!IsContinuationByte(byte)) {
                return std::nullopt;
            }
            code_point = (code_point << 6) | (byte & 0x3F);
        }
        if (code_point < SmallestValueOfLength(length) || code_point > kLastCodePoint ||
            IsHighSurrogate(code_point) || IsLowSurrogate(code_point)) {
            return std::nullopt;
        }
        AppendUtf16(code_point, out);
        position += length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size() * 3);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t code_point = utf16[i];
        if (IsHighSurrogate(code_point) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
            code_point = 0x10000 + ((code_point - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(code_point) || IsLowSurrogate(code_point)) {
            code_point = kReplacementCharacter;
        }
        AppendUtf8(code_point, out);
    }
    return out;
}

}  // namespace ulvren
