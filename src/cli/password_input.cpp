#include "cli/password_input.h"

#include <iostream>

#include "host/command_line_services.h"
#include "text/text_ids.h"

namespace ulvren::cli {
namespace {

void StripLineEnd(std::string& line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
}

// The bound that a refusal names.
std::string LineBound() {
    return std::to_string(kMaxPasswordLineBytes);
}

// One line per prompt from standard input, never reading more than a line's bound past the start
// of a line.
std::optional<std::vector<std::string>> ReadStandardInputLines(std::size_t count, Message& error) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i) {
        std::string line;
        int c = 0;
        while ((c = std::cin.get()) != std::char_traits<char>::eof() && c != '\n') {
            if (line.size() == kMaxPasswordLineBytes) {
                error = {TEXT_CLI_PASSWORD_LINE_TOO_LONG, {LineBound()}};
                return std::nullopt;
            }
            line += static_cast<char>(c);
        }
        if (c == std::char_traits<char>::eof() && line.empty()) {
            error = {TEXT_CLI_INPUT_ENDED, {std::to_string(i), std::to_string(count)}};
            return std::nullopt;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace

std::optional<std::vector<std::string>> ReadPasswords(const std::vector<std::string>& prompts,
                                                      PasswordSource source, Message& error) {
    std::optional<std::vector<std::string>> passwords;
    if (source == PasswordSource::StandardInput) {
        passwords = ReadStandardInputLines(prompts.size(), error);
    } else {
        auto failure = platform::HiddenInputFailure::None;
        passwords = platform::ReadHiddenLines(prompts, kMaxPasswordLineBytes, failure);
        if (!passwords) {
            error = failure == platform::HiddenInputFailure::NoTerminal
                        ? Message{TEXT_CLI_NO_TERMINAL, {}}
                        : Message{TEXT_CLI_PASSWORD_READ_FAILED, {LineBound()}};
        }
    }
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
                error = {TEXT_CLI_PASSWORD_NOT_TEXT, {}};
                return std::nullopt;
            }
            password = std::move(*utf8);
        }
        if (password.find('\0') != std::string::npos) {
            error = {TEXT_CLI_PASSWORD_HOLDS_NUL, {}};
            return std::nullopt;
        }
    }
    return passwords;
}

}  // namespace ulvren::cli
