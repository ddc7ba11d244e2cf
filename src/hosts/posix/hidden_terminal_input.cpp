// Reading a line from the terminal with echo off.
#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <iterator>
#include <string>

#include "host/command_line_services.h"

namespace ulvren::platform {
namespace {

// What a signal handler needs to give the terminal its echo back, and to take it away again.
int echo_terminal = -1;
termios echo_saved{};
termios echo_quiet{};
// The prompt on show, shown again when the program goes on after a stop.
char shown_prompt[256];
volatile std::sig_atomic_t shown_prompt_length = 0;
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr int kStoppingSignals[] = {SIGTSTP, SIGTTIN, SIGTTOU};

// Ctrl-C at the prompt must not leave the shell without echo: put the terminal back, then let the
// signal end the program as it would have.
extern "C" void RestoreEchoAndRaise(int signal_number) {
    tcsetattr(echo_terminal, TCSAFLUSH, &echo_saved);
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

// Ctrl-Z at the prompt: the shell gets its terminal back with echo while the program is stopped,
// and the typing stays hidden once it is continued (the shell does not put our modes back).
extern "C" void RestoreEchoAndStop(int signal_number) {
    tcsetattr(echo_terminal, TCSANOW, &echo_saved);
    struct sigaction ours {};
    sigaction(signal_number, nullptr, &ours);
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
    sigset_t pending{};
    sigemptyset(&pending);
    sigaddset(&pending, signal_number);
    // The stop takes effect here, and the program goes on from here when it is continued.
    sigprocmask(SIG_UNBLOCK, &pending, nullptr);
    sigaction(signal_number, &ours, nullptr);
    tcsetattr(echo_terminal, TCSANOW, &echo_quiet);
    [[maybe_unused]] const auto written = write(echo_terminal, shown_prompt, shown_prompt_length);
}

void ShowPrompt(int tty, const std::string& prompt) {
    shown_prompt_length = 0;
    const std::size_t length = std::min(prompt.size(), sizeof shown_prompt);
    std::copy_n(prompt.begin(), length, shown_prompt);
    shown_prompt_length = static_cast<std::sig_atomic_t>(length);
    [[maybe_unused]] const auto written = write(tty, prompt.data(), prompt.size());
}

// Installs `handler` for each of `signals` that is not ignored, keeping what was there.
template <std::size_t N>
void Install(const int (&signals)[N], void (*handler)(int), int flags,
             struct sigaction (&previous)[N]) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < N; ++i) {
        // A signal that whoever started us ignores stays ignored.
        sigaction(signals[i], nullptr, &previous[i]);
        if (previous[i].sa_handler != SIG_IGN) {
            sigaction(signals[i], &action, nullptr);
        }
    }
}

template <std::size_t N>
void Restore(const int (&signals)[N], const struct sigaction (&previous)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        sigaction(signals[i], &previous[i], nullptr);
    }
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
        termios quiet = saved_;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        quiet.c_lflag |= ECHONL;
        echo_terminal = fd_;
        echo_saved = saved_;
        echo_quiet = quiet;
        Install(kEndingSignals, RestoreEchoAndRaise, 0, previous_ending_);
        // A read under way goes on after a stop and continue.
        Install(kStoppingSignals, RestoreEchoAndStop, SA_RESTART, previous_stopping_);
        tcsetattr(fd_, TCSAFLUSH, &quiet);
    }
    ~EchoOff() {
        if (!active_) {
            return;
        }
        tcsetattr(fd_, TCSAFLUSH, &saved_);
        Restore(kEndingSignals, previous_ending_);
        Restore(kStoppingSignals, previous_stopping_);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    int fd_;
    termios saved_{};
    struct sigaction previous_ending_[std::size(kEndingSignals)]{};
    struct sigaction previous_stopping_[std::size(kStoppingSignals)]{};
    bool active_ = false;
};

// One line, without its end; empty when reading fails or the line runs past `max_bytes`.
std::optional<std::string> ReadTerminalLine(int fd, std::size_t max_bytes) {
    std::string line;
    char c = 0;
    for (;;) {
        const ssize_t got = read(fd, &c, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 || line.size() > max_bytes) {
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
                                                        std::size_t max_line_bytes,
                                                        HiddenInputFailure& failure) {
    std::vector<std::string> passwords;
    const int tty = open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (tty < 0) {
        failure = HiddenInputFailure::NoTerminal;
        return std::nullopt;
    }
    {
        EchoOff quiet(tty);
        for (const std::string& prompt : prompts) {
            ShowPrompt(tty, prompt + ": ");
            auto line = ReadTerminalLine(tty, max_line_bytes);
            if (!line) {
                break;
            }
            passwords.push_back(*line);
        }
    }
    close(tty);
    if (passwords.size() != prompts.size()) {
        failure = HiddenInputFailure::ReadFailed;
        return std::nullopt;
    }
    return passwords;
}

}  // namespace ulvren::platform
