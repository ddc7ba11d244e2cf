#pragma once

namespace ulvren {

// The dialog ids of the controls of the three dialogs.

// Both password dialogs.
inline constexpr int CONTROL_OK = 1;
inline constexpr int CONTROL_CANCEL = 2;

// The main window.
inline constexpr int CONTROL_SET_CLOCK_BUTTON = 1000;
inline constexpr int CONTROL_SYSTEM_TIME_RADIO = 1001;
inline constexpr int CONTROL_CUSTOM_TIME_RADIO = 1002;
inline constexpr int CONTROL_TIME_STAMP_CHECK = 1007;
inline constexpr int CONTROL_CHANGE_PASSWORD_BUTTON = 1011;
inline constexpr int CONTROL_FORMAT_BUTTON = 1014;
inline constexpr int CONTROL_DISK_TYPE_LIST = 1016;
inline constexpr int CONTROL_DATE_PICKER = 1017;
inline constexpr int CONTROL_TIME_PICKER = 1018;
inline constexpr int CONTROL_LOGIN_BUTTON = 1019;
inline constexpr int CONTROL_CURRENT_TIME = 1021;
inline constexpr int CONTROL_CAPACITY_FIELD = 1022;
inline constexpr int CONTROL_CAPACITY_LABEL = 1027;
inline constexpr int CONTROL_DISK_TYPE_LABEL = 1028;
inline constexpr int CONTROL_DEVICE_GROUP = 1029;
inline constexpr int CONTROL_DATE_TIME_GROUP = 1030;
// The list of recorders above the two groups, and its label: only in a view that has it, and shown
// only while more than one recorder is plugged in.
inline constexpr int CONTROL_RECORDER_LABEL = 1035;
inline constexpr int CONTROL_RECORDER_LIST = 1036;

// The enter-password dialog.
inline constexpr int CONTROL_PASSWORD_EDIT = 1023;
inline constexpr int CONTROL_PASSWORD_LABEL = 1031;

// The change-password dialog.
inline constexpr int CONTROL_NEW_PASSWORD_EDIT = 1024;
inline constexpr int CONTROL_CONFIRM_PASSWORD_EDIT = 1025;
inline constexpr int CONTROL_OLD_PASSWORD_EDIT = 1026;
inline constexpr int CONTROL_OLD_PASSWORD_LABEL = 1032;
inline constexpr int CONTROL_NEW_PASSWORD_LABEL = 1033;
inline constexpr int CONTROL_CONFIRM_PASSWORD_LABEL = 1034;

}  // namespace ulvren
