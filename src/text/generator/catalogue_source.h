#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ulvren {

// One line of the catalogue's data file: a text in every language of the catalogue.
struct CatalogueText {
    std::uint32_t id = 0;
    std::string name;                         // constant name without the TEXT_ prefix
    std::vector<std::u16string> by_language;  // in the order of CatalogueSource::languages
};

// The whole data file, checked and converted to UTF-16.
struct CatalogueSource {
    std::vector<std::uint16_t> languages;  // Windows language identifiers, as in the header
    std::vector<CatalogueText> texts;      // in file order
};

// Reads the tab-separated data file: lines starting with '#' and blank lines are skipped; the
// first other line is the header "id", "name", then one language identifier per column; each
// further line is an id (1 to 65535, decimal), a name (capitals, digits and '_', starting with a
// capital) and one non-empty UTF-8 text per language. Ids and names must be unique. On the first
// fault returns nothing and says in `error` which line is wrong and why.
std::optional<CatalogueSource> ParseCatalogueSource(std::string_view file_text, std::string& error);

}  // namespace ulvren
