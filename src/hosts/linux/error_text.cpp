#include "hosts/linux/error_text.h"

#include <cerrno>
#include <system_error>

namespace ulvren {

std::string ErrnoText(std::string_view what, int error) {
    // The category's message is thread-safe, unlike strerror().
    std::string text(what);
    text += ": ";
    text += std::generic_category().message(error);
    return text;
}

bool IsAccessDenied(int error) {
    return error == EACCES || error == EPERM;
}

std::string DeviceAccessErrorText(std::string_view what, int error) {
    if (IsAccessDenied(error)) {
        return std::string(kPermissionDeniedText);
    }
    return ErrnoText(what, error);
}

}  // namespace ulvren
