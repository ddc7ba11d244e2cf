#include "ui/status_reactions.h"

#include <array>

#include "text/text_ids.h"

namespace ulvren {
namespace {

using namespace std::chrono_literals;

constexpr StatusReaction kRefreshOnly{};

constexpr StatusReaction Box(TextId text) {
    return {StatusDisplay::MessageBox, text};
}

// Indexed by code - 1.
const std::array<StatusReaction, 18> kReactions = {
    kRefreshOnly,                                                         // STATUS_OPEN_FAILED
    kRefreshOnly,                                                         // STATUS_DETECT_DONE
    StatusReaction{StatusDisplay::CapacityField, TEXT_DEVICE_NOT_FOUND},  // STATUS_DEVICE_NOT_FOUND
    StatusReaction{StatusDisplay::MessageBox, TEXT_FORMAT_OK, 2000ms, true},  // STATUS_FORMAT_OK
    Box(TEXT_FORMAT_FAILED),           // STATUS_FORMAT_FAILED
    Box(TEXT_OLD_PASSWORD_WRONG),      // STATUS_OLD_PASSWORD_WRONG
    Box(TEXT_PASSWORD_CHANGED),        // STATUS_PASSWORD_CHANGED
    Box(TEXT_PASSWORD_CHANGE_FAILED),  // STATUS_PASSWORD_CHANGE_FAILED
    StatusReaction{StatusDisplay::MessageBox, TEXT_LOGIN_OK, 2000ms},  // STATUS_LOGIN_OK
    Box(TEXT_LOGIN_FAILED),                                            // STATUS_LOGIN_FAILED
    Box(TEXT_CLOCK_SET),                                               // STATUS_CLOCK_SET
    Box(TEXT_CLOCK_SET_FAILED),                                        // STATUS_CLOCK_SET_FAILED
    kRefreshOnly,                                                      // STATUS_DISK_TYPE_SET
    kRefreshOnly,  // STATUS_DISK_TYPE_SET_FAILED
    kRefreshOnly,  // STATUS_CAPACITY_OK: the worker has written the capacity text
    // "Unknown capacity", rather than repeating a clock message in the capacity field.
    StatusReaction{StatusDisplay::CapacityField, TEXT_UNKNOWN_CAPACITY},  // STATUS_CAPACITY_UNKNOWN
    kRefreshOnly,  // STATUS_DISK_TYPE_OK: the worker has written the disk-type index
    kRefreshOnly,  // STATUS_DISK_TYPE_UNKNOWN
};

}  // namespace

const StatusReaction& ReactionTo(int status) {
    if (status < STATUS_OPEN_FAILED || status > STATUS_DISK_TYPE_UNKNOWN) {
        return kRefreshOnly;
    }
    return kReactions[static_cast<std::size_t>(status - 1)];
}

}  // namespace ulvren
