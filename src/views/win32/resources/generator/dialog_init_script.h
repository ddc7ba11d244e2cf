#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ulvren {

// A DLGINIT resource statement that has dialog `dialog_id` add `items` to combo box
// `control_id` when it initialises: one record per item (control id, the 16-bit-era number of
// CB_ADDSTRING 0x403, the 32-bit length with the terminating zero, the bytes and the zero), then
// a zero control id. The data is written as 16-bit words, and every item ends in a comma, as the
// MinGW-w64 resource compiler needs. The bytes are
// the items as the template carries them (the list items in code page 936).
std::string DialogInitScript(std::uint16_t dialog_id, std::uint16_t control_id,
                             std::span<const std::string_view> items);

}  // namespace ulvren
