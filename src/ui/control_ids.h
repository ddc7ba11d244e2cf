#pragma once

namespace ulvren {

// The main window's controls that the workers enable and disable, by their dialog ids.
inline constexpr int CONTROL_SET_CLOCK_BUTTON = 1000;
inline constexpr int CONTROL_CHANGE_PASSWORD_BUTTON = 1011;
inline constexpr int CONTROL_FORMAT_BUTTON = 1014;
inline constexpr int CONTROL_DISK_TYPE_LIST = 1016;
inline constexpr int CONTROL_LOGIN_BUTTON = 1019;

}  // namespace ulvren
