#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/messages.h"

namespace ulvren::cli {

enum class PasswordSource { Terminal, StandardInput };

// The longest line taken as a password, in bytes, far above the twelve bytes a password may have
// on the device: anything longer is refused while it is read.
inline constexpr std::size_t kMaxPasswordLineBytes = 256;

// Reads one password per prompt: from the terminal with echo off (the prompts go to the terminal
// too, so standard output stays clean), or one per line from standard input. Empty, with `error`
// saying why, when there is no terminal, the input ends early, a line is longer than
// kMaxPasswordLineBytes or a password holds a NUL byte.
std::optional<std::vector<std::string>> ReadPasswords(const std::vector<std::string>& prompts,
                                                      PasswordSource source, Message& error);

}  // namespace ulvren::cli
