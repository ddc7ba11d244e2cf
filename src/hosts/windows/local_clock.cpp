#include "hosts/windows/local_clock.h"

#include <windows.h>

namespace ulvren {

LocalDateTime SystemLocalTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace ulvren
