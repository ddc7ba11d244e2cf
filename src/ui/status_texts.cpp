#include "ui/status_texts.h"

#include "text/text_ids.h"

namespace ulvren {

std::optional<TextId> MessageTextFor(int status) {
    switch (status) {
        case STATUS_DEVICE_NOT_FOUND:
            return TEXT_DEVICE_NOT_FOUND;
        case STATUS_FORMAT_OK:
            return TEXT_FORMAT_OK;
        case STATUS_FORMAT_FAILED:
            return TEXT_FORMAT_FAILED;
        case STATUS_OLD_PASSWORD_WRONG:
            return TEXT_OLD_PASSWORD_WRONG;
        case STATUS_PASSWORD_CHANGED:
            return TEXT_PASSWORD_CHANGED;
        case STATUS_PASSWORD_CHANGE_FAILED:
            return TEXT_PASSWORD_CHANGE_FAILED;
        case STATUS_LOGIN_OK:
            return TEXT_LOGIN_OK;
        case STATUS_LOGIN_FAILED:
            return TEXT_LOGIN_FAILED;
        case STATUS_CLOCK_SET:
            return TEXT_CLOCK_SET;
        case STATUS_CLOCK_SET_FAILED:
            return TEXT_CLOCK_SET_FAILED;
        // The capacity field says "Unknown capacity" rather than repeating a clock message.
        case STATUS_CAPACITY_UNKNOWN:
            return TEXT_UNKNOWN_CAPACITY;
        default:
            return std::nullopt;
    }
}

bool ShowsInCapacityField(int status) {
    return status == STATUS_DEVICE_NOT_FOUND || status == STATUS_CAPACITY_UNKNOWN;
}

}  // namespace ulvren
