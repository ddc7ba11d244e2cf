// What the Windows build supplies behind the platform seam.
#include <windows.h>
// windows.h first: winioctl.h needs its types.
#include <winioctl.h>

#include "host/platform.h"
#include "host/sparse_file.h"
#include "hosts/windows/win32_named_mutex.h"
#include "hosts/windows/windows_host.h"

namespace ulvren::platform {
namespace {

class LocalClock final : public Clock {
  public:
    LocalDateTime Now() const override {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    }
};

}  // namespace

std::unique_ptr<Host> OpenSystemHost() {
    return std::make_unique<WindowsHost>();
}

std::unique_ptr<NamedSystemMutex> OpenNamedSystemMutex(const std::string& name) {
    return std::make_unique<Win32NamedMutex>(name);
}

std::unique_ptr<DeviceChangeSource> OpenDeviceChangeSource() {
    // Windows tells the window itself (WM_DEVICECHANGE); its view translates that at its edge.
    return std::make_unique<DeviceChangeSource>();
}

const Clock& SystemClock() {
    static const LocalClock clock;
    return clock;
}

SystemLocale CurrentSystemLocale() {
    return {.name = {}, .lcid = GetSystemDefaultLCID()};
}

bool MarkFileSparse(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD returned = 0;
    const BOOL marked =
        DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    CloseHandle(file);
    return marked != FALSE;
}

}  // namespace ulvren::platform
