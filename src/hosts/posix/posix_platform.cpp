// What every POSIX platform supplies behind the seam alike: the flock named mutex, the local
// clock, the message locale and sparse files. The device calls (OpenSystemHost) are each
// platform's own.
#include <cstdlib>
#include <ctime>

#include "host/platform.h"
#include "host/sparse_file.h"
#include "hosts/posix/flock_named_mutex.h"
#include "hosts/posix/message_locale.h"

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

std::unique_ptr<NamedSystemMutex> OpenNamedSystemMutex(const std::string& name) {
    return std::make_unique<FlockNamedMutex>(name);
}

const Clock& SystemClock() {
    static const LocalClock clock;
    return clock;
}

SystemLocale CurrentSystemLocale() {
    return {.name = MessageLocaleName([](const char* name) { return std::getenv(name); }),
            .lcid = std::nullopt};
}

bool MarkFileSparse(const std::string&) {
    // A file extended with truncate, as resize_file does here, is sparse already.
    return true;
}

}  // namespace ulvren::platform
