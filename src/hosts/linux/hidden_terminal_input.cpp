// Reading a line from the terminal with echo off.
#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <iterator>

#include "host/platform.h"

namespace ulvren::platform {
namespace {

// What a signal handler needs to give the terminal its echo back.
int echo_terminal = -1;
termios echo_saved{};
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Ctrl-C at the prompt must not leave the shell without echo: put the terminal back, then let the
// signal end the program as it would have.
extern "C" void RestoreEchoAndRaise(int signal_number) {
    tcsetattr(echo_terminal, TCSAFLUSH, &echo_saved);
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

// Echo stays off for the life of this object, and comes back even when reading fails or a signal
// ends the program.
class EchoOff {
  public:
    explicit EchoOff(int fd) : fd_(fd) {
        active_ = tcgetattr(fd_, &saved_) == 0;
        if (!active_) {
            return;
        }
        echo_terminal = fd_;
        echo_saved = saved_;
        struct sigaction action {};
        action.sa_handler = RestoreEchoAndRaise;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            // A signal that whoever started us ignores stays ignored.
            sigaction(kEndingSignals[i], nullptr, &previous_[i]);
            if (previous_[i].sa_handler != SIG_IGN) {
                sigaction(kEndingSignals[i], &action, nullptr);
            }
        }
        termios quiet = saved_;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        quiet.c_lflag |= ECHONL;
        tcsetattr(fd_, TCSAFLUSH, &quiet);
    }
    ~EchoOff() {
        if (!active_) {
            return;
        }
        tcsetattr(fd_, TCSAFLUSH, &saved_);
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            sigaction(kEndingSignals[i], &previous_[i], nullptr);
        }
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    int fd_;
    termios saved_{};
    struct sigaction previous_[std::size(kEndingSignals)]{};
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

std::optional<std::vector<std::string>> ReadHiddenLines(const std::vector<std::string>& prompts,
                                                        std::string& error) {
    std::vector<std::string> passwords;
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

}  // namespace ulvren::platform
