// Letting a running format finish when the user or the system asks the program to end.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

#include "host/command_line_services.h"

namespace ulvren::platform {
namespace {

constexpr int kEndRequests[] = {SIGINT, SIGTERM, SIGHUP};

// What the handler needs, set before it is installed: it may only make async-signal-safe calls.
std::string deferred_notice;
volatile std::sig_atomic_t end_requested = 0;
// The handler's way to the thread that calls `on_request`: a byte down a pipe (-1 without one).
volatile std::sig_atomic_t request_pipe_input = -1;

constexpr char kRequested = 'r';
constexpr char kDone = 'd';

extern "C" void OnEndRequest(int signal_number) {
    const bool first = end_requested == 0;
    end_requested = 1;
    if (first) {
        const int saved_errno = errno;
        [[maybe_unused]] auto written =
            ::write(STDERR_FILENO, deferred_notice.data(), deferred_notice.size());
        if (request_pipe_input >= 0) {
            written = ::write(request_pipe_input, &kRequested, 1);
        }
        errno = saved_errno;
        return;
    }
    // The second request: end as that request would have ended the program.
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

// Calls `on_request` on a thread of its own when the handler has written to the pipe, so that it
// may do what no signal handler may.
class RequestRelay {
  public:
    explicit RequestRelay(std::function<void()> on_request) {
        if (!on_request || ::pipe2(pipe_, O_CLOEXEC) != 0) {
            pipe_[0] = pipe_[1] = -1;
            return;
        }
        thread_ = std::thread([this, on_request = std::move(on_request)] {
            for (;;) {
                char byte = kDone;
                const auto got = ::read(pipe_[0], &byte, 1);
                if (got < 0 && errno == EINTR) {
                    continue;
                }
                if (got != 1 || byte == kDone) {
                    return;
                }
                on_request();
            }
        });
        request_pipe_input = pipe_[1];
    }
    ~RequestRelay() {
        if (pipe_[1] < 0) {
            return;
        }
        request_pipe_input = -1;
        [[maybe_unused]] const auto written = ::write(pipe_[1], &kDone, 1);
        thread_.join();
        ::close(pipe_[0]);
        ::close(pipe_[1]);
    }
    RequestRelay(const RequestRelay&) = delete;
    RequestRelay& operator=(const RequestRelay&) = delete;

  private:
    int pipe_[2]{-1, -1};
    std::thread thread_;
};

class SignalDeferral final : public EndRequestDeferral {
  public:
    SignalDeferral(std::string notice, std::function<void()> on_request)
        : relay_(std::move(on_request)) {
        deferred_notice = std::move(notice);
        end_requested = 0;
        struct sigaction action {};
        action.sa_handler = OnEndRequest;
        // The device calls under way go on as if nothing had come.
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(kEndRequests); ++i) {
            sigaction(kEndRequests[i], nullptr, &previous_[i]);
            if (previous_[i].sa_handler != SIG_IGN) {
                sigaction(kEndRequests[i], &action, nullptr);
            }
        }
    }
    ~SignalDeferral() override {
        for (std::size_t i = 0; i < std::size(kEndRequests); ++i) {
            sigaction(kEndRequests[i], &previous_[i], nullptr);
        }
    }
    SignalDeferral(const SignalDeferral&) = delete;
    SignalDeferral& operator=(const SignalDeferral&) = delete;

  private:
    // Gone after the handlers are put back: no request reaches its pipe any more.
    RequestRelay relay_;
    struct sigaction previous_[std::size(kEndRequests)]{};
};

}  // namespace

std::unique_ptr<EndRequestDeferral> DeferEndRequests(std::string notice,
                                                     std::function<void()> on_request) {
    return std::make_unique<SignalDeferral>(std::move(notice), std::move(on_request));
}

}  // namespace ulvren::platform
