#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace ulvren {

// Offsets 0x05A to 0x1FD of the boot sector: the real-mode bootstrap and its data.
inline constexpr std::size_t kBootstrapOffset = 0x05A;
inline constexpr std::size_t kBootstrapSize = 420;

// The bootstrap template, assembled from bootstrap.asm at build time.
std::span<const std::uint8_t, kBootstrapSize> BootstrapTemplate();

}  // namespace ulvren
