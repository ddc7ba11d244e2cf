#include "text/generator/catalogue_source.h"

#include <charconv>
#include <set>

#include "text/utf_conversion.h"

namespace ulvren {
namespace {

constexpr std::uint32_t kLargestTextId = 0xFFFF;    // string ids are 16-bit resource ids
constexpr std::size_t kLongestText = 0xFFFF;        // an entry's count is 16-bit
constexpr std::uint32_t kLargestLanguage = 0xFFFF;  // language identifiers are 16-bit

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) {
            return fields;
        }
        line.remove_prefix(tab + 1);
    }
}

// A decimal number from 1 to `largest`, digits only (no sign, blank or other character).
std::optional<std::uint32_t> ParseNumber(std::string_view field, std::uint32_t largest) {
    std::uint32_t value = 0;
    const char* end = field.data() + field.size();
    const auto [stop, fault] = std::from_chars(field.data(), end, value);
    if (fault != std::errc() || stop != end || value == 0 || value > largest) {
        return std::nullopt;
    }
    return value;
}

bool IsConstantName(std::string_view name) {
    if (name.empty() || name.front() < 'A' || name.front() > 'Z') {
        return false;
    }
    for (const char c : name) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) {
            return false;
        }
    }
    return true;
}

class Parser {
  public:
    std::optional<CatalogueSource> Parse(std::string_view file_text, std::string& error) {
        for (std::size_t line_start = 0; line_start < file_text.size();) {
            std::size_t line_end = file_text.find('\n', line_start);
            if (line_end == std::string_view::npos) {
                line_end = file_text.size();
            }
            std::string_view line = file_text.substr(line_start, line_end - line_start);
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            ++line_number_;
            line_start = line_end + 1;
            if (line.empty() || line.front() == '#') {
                continue;
            }
            const bool ok = has_header_ ? ParseText(line) : ParseHeader(line);
            if (!ok) {
                error = "line " + std::to_string(line_number_) + ": " + fault_;
                return std::nullopt;
            }
        }
        if (!has_header_) {
            error = "no header line";
            return std::nullopt;
        }
        return std::move(source_);
    }

  private:
    bool Fail(std::string reason) {
        fault_ = std::move(reason);
        return false;
    }

    bool ParseHeader(std::string_view line) {
        const std::vector<std::string_view> fields = SplitFields(line);
        if (fields.size() < 3 || fields[0] != "id" || fields[1] != "name") {
            return Fail("the header must be id, name and at least one language");
        }
        std::set<std::uint16_t> seen;
        for (std::size_t column = 2; column < fields.size(); ++column) {
            const std::optional<std::uint32_t> language =
                ParseNumber(fields[column], kLargestLanguage);
            if (!language) {
                return Fail("bad language identifier '" + std::string(fields[column]) + "'");
            }
            if (!seen.insert(static_cast<std::uint16_t>(*language)).second) {
                return Fail("language " + std::to_string(*language) + " appears twice");
            }
            source_.languages.push_back(static_cast<std::uint16_t>(*language));
        }
        has_header_ = true;
        return true;
    }

    bool ParseText(std::string_view line) {
        const std::vector<std::string_view> fields = SplitFields(line);
        if (fields.size() != 2 + source_.languages.size()) {
            return Fail("expected " + std::to_string(2 + source_.languages.size()) +
                        " tab-separated fields, found " + std::to_string(fields.size()));
        }
        CatalogueText text;
        const std::optional<std::uint32_t> id = ParseNumber(fields[0], kLargestTextId);
        if (!id) {
            return Fail("bad text id '" + std::string(fields[0]) + "' (1 to 65535)");
        }
        if (!ids_.insert(*id).second) {
            return Fail("text id " + std::to_string(*id) + " appears twice");
        }
        text.id = *id;
        if (!IsConstantName(fields[1])) {
            return Fail("bad constant name '" + std::string(fields[1]) + "'");
        }
        if (!names_.insert(std::string(fields[1])).second) {
            return Fail("constant name " + std::string(fields[1]) + " appears twice");
        }
        text.name = fields[1];
        for (std::size_t column = 0; column < source_.languages.size(); ++column) {
            const std::string language = std::to_string(source_.languages[column]);
            std::optional<std::u16string> utf16 = Utf8ToUtf16(fields[2 + column]);
            if (!utf16) {
                return Fail("malformed UTF-8 in the " + language + " text");
            }
            if (utf16->empty()) {
                return Fail("the " + language + " text is empty");
            }
            if (utf16->size() > kLongestText) {
                return Fail("the " + language + " text is longer than 65535 UTF-16 units");
            }
            text.by_language.push_back(std::move(*utf16));
        }
        source_.texts.push_back(std::move(text));
        return true;
    }

    CatalogueSource source_;
    std::set<std::uint32_t> ids_;
    std::set<std::string> names_;
    bool has_header_ = false;
    int line_number_ = 0;
    std::string fault_;
};

}  // namespace

std::optional<CatalogueSource> ParseCatalogueSource(std::string_view file_text,
                                                    std::string& error) {
    return Parser().Parse(file_text, error);
}

}  // namespace ulvren
