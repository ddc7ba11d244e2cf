#include "device/command_templates.h"

#include <algorithm>
#include <cstdlib>

#include "protocol/vendor_protocol.h"

namespace ulvren {
namespace {

std::array<CommandTemplate, kVendorOpcodes.size()> MakeTemplates() {
    std::array<CommandTemplate, kVendorOpcodes.size()> templates{};
    for (std::size_t i = 0; i < kVendorOpcodes.size(); ++i) {
        templates[i][0] = kVendorOpcodes[i];
    }
    return templates;
}

std::array<CommandTemplate, kVendorOpcodes.size()> templates = MakeTemplates();

}  // namespace

CommandTemplate& CommandTemplateFor(std::uint8_t opcode) {
    const auto* position = std::find(kVendorOpcodes.begin(), kVendorOpcodes.end(), opcode);
    if (position == kVendorOpcodes.end()) {
        std::abort();  // A programming error: only the eight vendor opcodes have templates.
    }
    return templates[static_cast<std::size_t>(position - kVendorOpcodes.begin())];
}

void ResetCommandTemplates() {
    templates = MakeTemplates();
}

}  // namespace ulvren
