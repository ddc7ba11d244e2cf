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

std::string DeviceAccessErrorText(std::string_view what, int error) {
    if (error == EACCES || error == EPERM) {
        return std::string(kPermissionDeniedText);
    }
    return ErrnoText(what, error);
}

}  // namespace ulvren
