// Reading a line from the console with echo off.
#include <windows.h>

#include <atomic>
#include <string>

#include "host/command_line_services.h"
#include "text/utf_conversion.h"

namespace ulvren::platform {
namespace {

// What the control handler needs to give the console its echo back.
std::atomic<HANDLE> echo_console{nullptr};
std::atomic<DWORD> echo_saved_mode{0};

// Ctrl-C or Ctrl-Break at the prompt must not leave the console without echo: put the mode back,
// then let the next handler (the default one ends the program) do what it would have.
BOOL WINAPI RestoreEchoOnControl(DWORD) {
    if (const HANDLE console = echo_console.load()) {
        SetConsoleMode(console, echo_saved_mode.load());
    }
    return FALSE;
}

// Echo stays off for the life of this object, and comes back whatever ends the reading.
class EchoOff {
  public:
    explicit EchoOff(HANDLE input) : input_(input) {
        active_ = GetConsoleMode(input_, &saved_) != FALSE;
        if (!active_) {
            return;
        }
        echo_saved_mode = saved_;
        echo_console = input_;
        SetConsoleCtrlHandler(RestoreEchoOnControl, TRUE);
        SetConsoleMode(input_, (saved_ | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) &
                                   ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    }
    ~EchoOff() {
        if (!active_) {
            return;
        }
        SetConsoleMode(input_, saved_);
        SetConsoleCtrlHandler(RestoreEchoOnControl, FALSE);
        echo_console = nullptr;
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

    bool Active() const { return active_; }

  private:
    HANDLE input_;
    DWORD saved_ = 0;
    bool active_ = false;
};

bool WriteConsoleText(HANDLE output, const std::string& utf8) {
    const auto wide = Utf8ToUtf16(utf8);
    DWORD written = 0;
    return wide && WriteConsoleW(output, wide->data(), static_cast<DWORD>(wide->size()), &written,
                                 nullptr) != FALSE;
}

// One line as the console gives it in line mode: up to the carriage return, without it. The
// whole line is read even when it is too long, so that none of it is left for the next reader.
std::optional<std::string> ReadConsoleLine(HANDLE input, std::size_t max_line_bytes,
                                           bool& too_long) {
    std::u16string line;
    for (;;) {
        wchar_t unit = 0;
        DWORD got = 0;
        if (!ReadConsoleW(input, &unit, 1, &got, nullptr) || got == 0) {
            return std::nullopt;
        }
        if (unit == L'\n') {
            break;
        }
        if (unit != L'\r') {
            line += static_cast<char16_t>(unit);
        }
    }
    std::string utf8 = Utf16ToUtf8(line);
    too_long = utf8.size() > max_line_bytes;
    return utf8;
}

}  // namespace

std::optional<std::vector<std::string>> ReadHiddenLines(const std::vector<std::string>& prompts,
                                                        std::size_t max_line_bytes,
                                                        HiddenInputFailure& failure) {
    // The console itself, whatever the standard streams are redirected to.
    const HANDLE input =
        CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    const HANDLE output =
        CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    std::vector<std::string> passwords;
    bool too_long = false;
    if (input != INVALID_HANDLE_VALUE && output != INVALID_HANDLE_VALUE) {
        EchoOff quiet(input);
        for (const std::string& prompt : prompts) {
            if (!quiet.Active() || !WriteConsoleText(output, prompt + ": ")) {
                break;
            }
            auto line = ReadConsoleLine(input, max_line_bytes, too_long);
            // Without echo the line's end does not show either.
            WriteConsoleText(output, "\r\n");
            if (!line || too_long) {
                break;
            }
            passwords.push_back(*line);
        }
    }
    const bool console = input != INVALID_HANDLE_VALUE && output != INVALID_HANDLE_VALUE;
    for (const HANDLE handle : {input, output}) {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
    if (!console) {
        failure = HiddenInputFailure::NoTerminal;
        return std::nullopt;
    }
    if (passwords.size() != prompts.size()) {
        failure = HiddenInputFailure::ReadFailed;
        return std::nullopt;
    }
    return passwords;
}

}  // namespace ulvren::platform

namespace ulvren::platform {

// The console's text goes through the program's own code page conversion already.
std::unique_ptr<TerminalCharset> OpenTerminalCharset() {
    return nullptr;
}

}  // namespace ulvren::platform
