#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/clock.h"
#include "host/device_change.h"
#include "host/host.h"
#include "host/named_system_mutex.h"

// What each platform supplies, once: every platform implements each function here
// (src/hosts/<platform>/), and nothing above the seam includes a platform header. The command
// line's services have a header of their own (host/command_line_services.h), as does the sparse
// file (host/sparse_file.h).
namespace ulvren::platform {

// The operating system's device calls.
std::unique_ptr<Host> OpenSystemHost();

// The OS's named mutex of that name, shared by every process of this user (of root, for root)
// that opens the same name. Never null: an object that cannot be had at all says so, with the
// reason, when it is locked.
std::unique_ptr<NamedSystemMutex> OpenNamedSystemMutex(const std::string& name);

// The system's notices of disks coming and going. Never null: where the system cannot tell (no
// udev running) the source announces nothing. On Windows the window hears of changes itself
// (WM_DEVICECHANGE), and this source announces nothing either. Linux links it apart from the
// rest of the platform (ulvren_device_changes), so that only the window needs libudev.
std::unique_ptr<DeviceChangeSource> OpenDeviceChangeSource();

// Converts UTF-8 text into the bytes of a Windows ANSI code page (1252, 936, 950). Empty when the
// text is not valid UTF-8 or holds a character that the code page cannot represent: nothing is
// dropped or replaced.
std::optional<std::string> Utf8ToCodePage(std::string_view utf8, unsigned code_page);

// The host's local clock.
const Clock& SystemClock();

// The locale of the user interface as the system states it, not yet mapped to a language (the
// text catalogue's rules do that, src/text/language_choice.h).
struct SystemLocale {
    // POSIX systems: the message locale's name ("zh_TW.UTF-8"), the first non-empty of LC_ALL,
    // LC_MESSAGES and LANG; empty when none is set.
    std::string name;
    // Windows: the system default locale identifier (2052), which decides there.
    std::optional<std::uint32_t> lcid;
};
SystemLocale CurrentSystemLocale();

}  // namespace ulvren::platform
