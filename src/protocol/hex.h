#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ulvren {

// Two lower-case hex digits per byte, no separators: what trace lines and the recorder's state
// file carry.
inline std::string HexBytes(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

inline std::string HexBytes(std::string_view bytes) {
    return HexBytes(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

// The bytes that `hex` spells, as a string of raw bytes. Empty for an odd length or a character
// that is not a hex digit.
inline std::optional<std::string> BytesFromHex(std::string_view hex) {
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        unsigned value = 0;
        const auto [end, code] = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
        if (code != std::errc{} || end != hex.data() + i + 2) {
            return std::nullopt;
        }
        bytes += static_cast<char>(value);
    }
    return bytes;
}

}  // namespace ulvren
