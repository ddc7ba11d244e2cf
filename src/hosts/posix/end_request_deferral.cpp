// Letting a running format finish when the user or the system asks the program to end.
#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <iterator>
#include <memory>
#include <string>

#include "host/command_line_services.h"

namespace ulvren::platform {
namespace {

constexpr int kEndRequests[] = {SIGINT, SIGTERM, SIGHUP};

// What the handler needs, set before it is installed: it may only make async-signal-safe calls.
std::string deferred_notice;
volatile std::sig_atomic_t end_requested = 0;

extern "C" void OnEndRequest(int signal_number) {
    const bool first = end_requested == 0;
    end_requested = 1;
    if (first) {
        [[maybe_unused]] const auto written =
            ::write(STDERR_FILENO, deferred_notice.data(), deferred_notice.size());
        return;
    }
    // The second request: end as that request would have ended the program.
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

class SignalDeferral final : public EndRequestDeferral {
  public:
    explicit SignalDeferral(std::string notice) {
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
    struct sigaction previous_[std::size(kEndRequests)]{};
};

}  // namespace

std::unique_ptr<EndRequestDeferral> DeferEndRequests(std::string notice) {
    return std::make_unique<SignalDeferral>(std::move(notice));
}

}  // namespace ulvren::platform
