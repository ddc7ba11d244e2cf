#include "hosts/windows/system_error_text.h"

#include <windows.h>

#include "host/host.h"

namespace ulvren {

std::string SystemErrorText(std::string_view what, std::uint32_t error) {
    char* words = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&words),
        0, nullptr);
    std::string text(what);
    text += ": ";
    if (length > 0 && words != nullptr) {
        std::string_view message(words, length);
        // The system's words end in a full stop and a line break.
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                    message.back() == ' ' || message.back() == '.')) {
            message.remove_suffix(1);
        }
        text += message;
        text += ' ';
    }
    if (words != nullptr) {
        LocalFree(words);
    }
    text += "(error " + std::to_string(error) + ")";
    return text;
}

std::string ReportSystemError(std::string_view what, std::uint32_t error) {
    std::string text = SystemErrorText(what, error);
    SetLastHostError(
        error == ERROR_ACCESS_DENIED ? HostErrorKind::AccessDenied : HostErrorKind::Other, text);
    return text;
}

}  // namespace ulvren
