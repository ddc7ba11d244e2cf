#include "hosts/posix/errno_text.h"

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

}  // namespace ulvren
