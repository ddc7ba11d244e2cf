#include "cli/password_input.h"

#include <iostream>

#include "host/command_line_services.h"

namespace ulvren::cli {
namespace {

void StripLineEnd(std::string& line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
}

std::string TooLongText() {
    return "a password line is longer than " + std::to_string(kMaxPasswordLineBytes) + " bytes";
}

// One line per prompt from standard input, never reading more than a line's bound past the start
// of a line.
std::optional<std::vector<std::string>> ReadStandardInputLines(std::size_t count,
                                                               std::string& error) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i) {
        std::string line;
        int c = 0;
        while ((c = std::cin.get()) != std::char_traits<char>::eof() && c != '\n') {
            if (line.size() == kMaxPasswordLineBytes) {
                error = TooLongText();
                return std::nullopt;
            }
            line += static_cast<char>(c);
        }
        if (c == std::char_traits<char>::eof() && line.empty()) {
            error = "standard input ended after " + std::to_string(i) + " of " +
                    std::to_string(count) + " passwords";
            return std::nullopt;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace

std::optional<std::vector<std::string>> ReadPasswords(const std::vector<std::string>& prompts,
                                                      PasswordSource source, std::string& error) {
    auto passwords = source == PasswordSource::Terminal
                         ? platform::ReadHiddenLines(prompts, kMaxPasswordLineBytes, error)
                         : ReadStandardInputLines(prompts.size(), error);
    if (!passwords) {
        return passwords;
    }
    // Typed in the terminal's character set; from here on every password is UTF-8.
    const auto charset = platform::OpenTerminalCharset();
    for (std::string& password : *passwords) {
        StripLineEnd(password);
        if (charset) {
            auto utf8 = charset->ToUtf8(password);
            if (!utf8) {
                error = "a password is not text in the terminal's character set";
                return std::nullopt;
            }
            password = std::move(*utf8);
        }
        if (password.find('\0') != std::string::npos) {
            error = "a password holds a NUL byte";
            return std::nullopt;
        }
    }
    return passwords;
}

}  // namespace ulvren::cli
