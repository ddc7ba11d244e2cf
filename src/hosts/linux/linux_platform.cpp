// What the Linux build supplies behind the platform seam.
#include <ctime>

#include "host/platform.h"
#include "hosts/linux/flock_named_mutex.h"
#include "hosts/linux/linux_host.h"
#include "text/language_choice.h"

namespace ulvren::platform {
namespace {

class LocalClock final : public Clock {
  public:
    LocalDateTime Now() const override {
        const std::time_t now = std::time(nullptr);
        std::tm parts{};
        localtime_r(&now, &parts);
        return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                parts.tm_hour,        parts.tm_min,     parts.tm_sec};
    }
};

}  // namespace

std::unique_ptr<Host> OpenSystemHost() {
    return std::make_unique<LinuxHost>();
}

std::unique_ptr<NamedSystemMutex> OpenNamedSystemMutex(const std::string& name) {
    return std::make_unique<FlockNamedMutex>(name);
}

const Clock& SystemClock() {
    static const LocalClock clock;
    return clock;
}

UiLanguage SystemUiLanguage() {
    return LanguageFromLocaleEnvironment();
}

bool MarkFileSparse(const std::string&) {
    // A file extended with truncate, as resize_file does here, is sparse already.
    return true;
}

}  // namespace ulvren::platform
