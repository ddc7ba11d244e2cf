#include "cli/password_input.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <iostream>

namespace ulvren::cli {
namespace {

void StripLineEnd(std::string& line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
}

// Echo stays off for the life of this object, and comes back even when reading fails.
class EchoOff {
  public:
    explicit EchoOff(int fd) : fd_(fd) {
        active_ = tcgetattr(fd_, &saved_) == 0;
        if (active_) {
            termios quiet = saved_;
            quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
            quiet.c_lflag |= ECHONL;
            active_ = tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
        }
    }
    ~EchoOff() {
        if (active_) {
            tcsetattr(fd_, TCSAFLUSH, &saved_);
        }
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    int fd_;
    termios saved_{};
    bool active_ = false;
};

std::optional<std::string> ReadTerminalLine(int fd) {
    std::string line;
    char c = 0;
    for (;;) {
        const ssize_t got = read(fd, &c, 1);
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            return line.empty() ? std::nullopt : std::optional(line);
        }
        if (c == '\n') {
            return line;
        }
        line += c;
    }
}

}  // namespace

std::optional<std::vector<std::string>> ReadPasswords(const std::vector<std::string>& prompts,
                                                      PasswordSource source, std::string& error) {
    std::vector<std::string> passwords;
    if (source == PasswordSource::StandardInput) {
        for (std::size_t i = 0; i < prompts.size(); ++i) {
            std::string line;
            if (!std::getline(std::cin, line)) {
                error = "standard input ended after " + std::to_string(i) + " of " +
                        std::to_string(prompts.size()) + " passwords";
                return std::nullopt;
            }
            StripLineEnd(line);
            passwords.push_back(line);
        }
        return passwords;
    }

    const int tty = open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (tty < 0) {
        error = "no terminal to read the password from; use --password-stdin";
        return std::nullopt;
    }
    {
        EchoOff quiet(tty);
        for (const std::string& prompt : prompts) {
            const std::string shown = prompt + ": ";
            if (write(tty, shown.data(), shown.size()) < 0) {
                break;
            }
            auto line = ReadTerminalLine(tty);
            if (!line) {
                break;
            }
            StripLineEnd(*line);
            passwords.push_back(*line);
        }
    }
    close(tty);
    if (passwords.size() != prompts.size()) {
        error = "reading the password from the terminal failed";
        return std::nullopt;
    }
    return passwords;
}

}  // namespace ulvren::cli
