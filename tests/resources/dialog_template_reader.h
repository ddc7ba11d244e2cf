#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace ulvren {

// One control of an extended dialog template (DLGITEMTEMPLATEEX). The class is its name in upper
// case, the predefined classes' ordinals (0x80 to 0x85) too.
struct CompiledControl {
    std::uint32_t id = 0;
    std::u16string window_class;
    std::u16string caption;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;

    bool operator==(const CompiledControl&) const = default;
};

// For test failures: the control's fields in words.
void PrintTo(const CompiledControl& control, std::ostream* out);

// An extended dialog template (DLGTEMPLATEEX) as the resource compiler lays it out.
struct CompiledDialog {
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::u16string title;
    std::uint16_t point_size = 0;
    std::uint16_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t charset = 0;
    std::u16string typeface;
    std::vector<CompiledControl> controls;

    bool operator==(const CompiledDialog&) const = default;
};

// Nothing when the bytes are no extended template or end too early.
std::optional<CompiledDialog> ReadDialogTemplate(std::span<const std::uint8_t> bytes);

}  // namespace ulvren
