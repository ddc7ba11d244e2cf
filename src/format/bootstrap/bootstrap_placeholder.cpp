#include <array>

#include "format/bootstrap_template.h"

namespace ulvren {

std::span<const std::uint8_t, kBootstrapSize> BootstrapTemplate() {
    static const std::array<std::uint8_t, kBootstrapSize> bytes{};
    return bytes;
}

}  // namespace ulvren
