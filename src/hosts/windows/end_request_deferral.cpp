// Letting a running format finish when the user or the system asks the program to end.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "host/command_line_services.h"

namespace ulvren::platform {
namespace {

// What the console's control handler needs, set before it is installed. The handler runs on a
// thread of its own that the system starts for each event.
std::string deferred_notice;
std::function<void()> on_first_request;
std::atomic<bool> end_requested{false};

BOOL WINAPI OnEndRequest(DWORD) {
    if (end_requested.exchange(true)) {
        // The second request: let the next handler (the default one ends the program) act.
        return FALSE;
    }
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), deferred_notice.data(),
              static_cast<DWORD>(deferred_notice.size()), &written, nullptr);
    if (on_first_request) {
        on_first_request();
    }
    return TRUE;
}

class ConsoleControlDeferral final : public EndRequestDeferral {
  public:
    ConsoleControlDeferral(std::string notice, std::function<void()> on_request) {
        deferred_notice = std::move(notice);
        on_first_request = std::move(on_request);
        end_requested = false;
        SetConsoleCtrlHandler(OnEndRequest, TRUE);
    }
    ~ConsoleControlDeferral() override { SetConsoleCtrlHandler(OnEndRequest, FALSE); }
    ConsoleControlDeferral(const ConsoleControlDeferral&) = delete;
    ConsoleControlDeferral& operator=(const ConsoleControlDeferral&) = delete;
};

}  // namespace

std::unique_ptr<EndRequestDeferral> DeferEndRequests(std::string notice,
                                                     std::function<void()> on_request) {
    return std::make_unique<ConsoleControlDeferral>(std::move(notice), std::move(on_request));
}

// Windows hands a program that was started without a stream a null handle, and nothing that the
// program opens later takes a standard stream's place: there is nothing to make sure of.
bool EnsureStandardStreamsOpen() {
    return true;
}

// Only a console has a mode; a file or a pipe has none.
bool StandardErrorIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != FALSE;
}

}  // namespace ulvren::platform
