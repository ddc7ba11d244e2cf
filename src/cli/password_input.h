#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ulvren::cli {

enum class PasswordSource { Terminal, StandardInput };

// Reads one password per prompt: from the terminal with echo off (the prompts go to the terminal
// too, so standard output stays clean), or one per line from standard input. Empty, with `error`
// set, when there is no terminal or the input ends early.
std::optional<std::vector<std::string>> ReadPasswords(const std::vector<std::string>& prompts,
                                                      PasswordSource source, std::string& error);

}  // namespace ulvren::cli
