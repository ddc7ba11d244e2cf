#pragma once

#include <chrono>
#include <optional>

#include "operations/operation_status.h"
#include "text/text_id.h"

namespace ulvren {

// Where a status puts its text in front of the user.
enum class StatusDisplay {
    Nothing,        // the status only refreshes the window
    MessageBox,     // a modal box with the text, an OK button and the exclamation icon
    CapacityField,  // the text replaces the capacity text
};

// What the window does when a status arrives, for every front end. After the reaction the
// window refreshes its controls from the members when `refreshes` says so, which every status
// does (the command line has no controls to refresh).
struct StatusReaction {
    StatusDisplay display = StatusDisplay::Nothing;
    std::optional<TextId> text;
    // How long the window waits before it shows the box (a format's and a login's success).
    std::chrono::milliseconds pause{0};
    // Login and Change password follow the disk-type index: enabled unless it is 0 (public disk).
    bool password_controls_follow_index = false;
    bool refreshes = true;
};

// The reaction to `status`; any number that is no code only refreshes.
const StatusReaction& ReactionTo(int status);

// The code's name, such as "STATUS_FORMAT_OK"; "STATUS_UNKNOWN" for any other number.
const char* OperationStatusName(int code);

}  // namespace ulvren
