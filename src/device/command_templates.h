#pragma once

#include <array>
#include <cstdint>

namespace ulvren {

using CommandTemplate = std::array<std::uint8_t, 16>;

// The process-wide CDB of a vendor opcode. Commands write their parameters into it in place and
// send all 16 bytes; it is never cleared, so a byte that a command does not rewrite keeps what the
// last earlier command of the same opcode left there. Callers hold the device mutex while they
// write and send it. `opcode` must be one of the eight vendor opcodes.
CommandTemplate& CommandTemplateFor(std::uint8_t opcode);

// Puts every template back to its start: the opcode, then fifteen zero bytes. For tests, which
// share one process-wide set of templates.
void ResetCommandTemplates();

}  // namespace ulvren
