#include "hosts/linux/error_text.h"

namespace ulvren {

std::string DeviceAccessErrorText(std::string_view what, int error) {
    if (IsAccessDenied(error)) {
        return std::string(kPermissionDeniedText);
    }
    return ErrnoText(what, error);
}

}  // namespace ulvren
