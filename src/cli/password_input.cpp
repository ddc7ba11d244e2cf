#include "cli/password_input.h"

#include <iostream>

#include "host/platform.h"

namespace ulvren::cli {
namespace {

void StripLineEnd(std::string& line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
}

// One line per prompt from standard input.
std::optional<std::vector<std::string>> ReadStandardInputLines(std::size_t count,
                                                               std::string& error) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i) {
        std::string line;
        if (!std::getline(std::cin, line)) {
            error = "standard input ended after " + std::to_string(i) + " of " +
                    std::to_string(count) + " passwords";
            return std::nullopt;
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::optional<std::vector<std::string>> ReadPasswords(const std::vector<std::string>& prompts,
                                                      PasswordSource source, std::string& error) {
    auto passwords = source == PasswordSource::Terminal
                         ? platform::ReadHiddenLines(prompts, error)
                         : ReadStandardInputLines(prompts.size(), error);
    if (passwords) {
        for (std::string& password : *passwords) {
            StripLineEnd(password);
        }
    }
    return passwords;
}

}  // namespace ulvren::cli
