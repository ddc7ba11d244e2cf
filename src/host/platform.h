#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/clock.h"
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
// standard output stays clean). Empty, with `error` set, when there is no terminal or the input
// ends early. The terminal gets its echo back whatever ends the reading, a signal included.
std::optional<std::vector<std::string>> ReadHiddenLines(const std::vector<std::string>& prompts,
                                                        std::string& error);

}  // namespace ulvren::platform
