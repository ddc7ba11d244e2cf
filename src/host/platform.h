#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/clock.h"
#include "host/device_change.h"
#include "host/host.h"
#include "host/named_system_mutex.h"
#include "text/string_table.h"
#include "text/ui_language.h"

// What each platform supplies, once: the Linux and the Windows builds each implement every
// function here (src/hosts/<platform>/), and nothing above the seam includes a platform header.
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

// The bytes of string-table block `number` in exactly `language` in `module`, or an empty span
// when the module has no such block. The null module is the program's own texts.
std::span<const std::uint8_t> FindStringBlock(ModuleHandle module, std::uint16_t number,
                                              std::uint16_t language);

// The host's local clock.
const Clock& SystemClock();

// The language of the user interface, from the system's locale.
UiLanguage SystemUiLanguage();

// Reads one line per prompt from the terminal with echo off (prompts go to the terminal too, so
// standard output stays clean). Empty, with `error` set, when there is no terminal, the input
// ends early or a line is longer than `max_line_bytes`. The terminal gets its echo back whatever
// ends the reading, a signal included, and while the program is stopped (job control); typing
// stays hidden when it goes on.
std::optional<std::vector<std::string>> ReadHiddenLines(const std::vector<std::string>& prompts,
                                                        std::size_t max_line_bytes,
                                                        std::string& error);

// Makes sure the standard input, output and error streams are open (a closed one is opened on
// the null device), so that nothing the program opens later takes the place of one of them. Call
// it before anything else is opened. False when that cannot be done.
bool EnsureStandardStreamsOpen();

// Holds off the requests to end the program (Ctrl-C, a termination request, the terminal going
// away) for as long as it lives: the first request writes `notice` to the standard error stream
// and the program goes on; a second one ends it at once. Requests that whoever started the
// program told it to ignore stay ignored.
class EndRequestDeferral {
  public:
    virtual ~EndRequestDeferral() = default;
};
std::unique_ptr<EndRequestDeferral> DeferEndRequests(std::string notice);

// Tells the file system that the new, empty file at `path` is sparse, where it has to be told
// (NTFS), so that sizing it takes no disk space until its sectors are written. False when that
// failed; the file still serves, it only takes its whole size.
bool MarkFileSparse(const std::string& path);

}  // namespace ulvren::platform
