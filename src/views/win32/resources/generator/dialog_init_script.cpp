#include "views/win32/resources/generator/dialog_init_script.h"

#include <cstdio>
#include <vector>

namespace ulvren {
namespace {

constexpr unsigned kComboBoxAddString = 0x403;

std::string Word(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value & 0xFFFF);
    return text;
}

}  // namespace

std::string DialogInitScript(std::uint16_t dialog_id, std::uint16_t control_id,
                             std::span<const std::string_view> items) {
    std::string out = std::to_string(dialog_id) + " DLGINIT\nBEGIN\n";
    for (const std::string_view item : items) {
        std::vector<std::uint8_t> bytes(item.begin(), item.end());
        bytes.push_back(0);
        // The length is 32 bits: its low and high words.
        out += "    " + std::to_string(control_id) + ", " + Word(kComboBoxAddString) + ", " +
               std::to_string(bytes.size()) + ", 0,\n   ";
        if (bytes.size() % 2 != 0) {
            bytes.push_back(0);
        }
        for (std::size_t i = 0; i < bytes.size(); i += 2) {
            out += " " + Word(bytes[i] | bytes[i + 1] << 8) + ",";
        }
        out += "\n";
    }
    return out + "    0\nEND\n";
}

}  // namespace ulvren
