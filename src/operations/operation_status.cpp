#include "operations/operation_status.h"

#include <array>

namespace ulvren {

const char* OperationStatusName(int code) {
    static constexpr std::array<const char*, 18> kNames = {
        "STATUS_OPEN_FAILED",      "STATUS_DETECT_DONE",
        "STATUS_DEVICE_NOT_FOUND", "STATUS_FORMAT_OK",
        "STATUS_FORMAT_FAILED",    "STATUS_OLD_PASSWORD_WRONG",
        "STATUS_PASSWORD_CHANGED", "STATUS_PASSWORD_CHANGE_FAILED",
        "STATUS_LOGIN_OK",         "STATUS_LOGIN_FAILED",
        "STATUS_CLOCK_SET",        "STATUS_CLOCK_SET_FAILED",
        "STATUS_DISK_TYPE_SET",    "STATUS_DISK_TYPE_SET_FAILED",
        "STATUS_CAPACITY_OK",      "STATUS_CAPACITY_UNKNOWN",
        "STATUS_DISK_TYPE_OK",     "STATUS_DISK_TYPE_UNKNOWN",
    };
    if (code < STATUS_OPEN_FAILED || code > STATUS_DISK_TYPE_UNKNOWN) {
        return "STATUS_UNKNOWN";
    }
    return kNames[static_cast<std::size_t>(code - 1)];
}

}  // namespace ulvren
