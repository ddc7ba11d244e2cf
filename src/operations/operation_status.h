#pragma once

namespace ulvren {

// What a worker reports to the window, one code per outcome. Each worker posts one of a fixed
// set of sequences of these; the window turns each into a text or a change of its controls.
enum OperationStatus : int {
    STATUS_OPEN_FAILED = 1,
    STATUS_DETECT_DONE = 2,
    STATUS_DEVICE_NOT_FOUND = 3,
    STATUS_FORMAT_OK = 4,
    STATUS_FORMAT_FAILED = 5,
    STATUS_OLD_PASSWORD_WRONG = 6,
    STATUS_PASSWORD_CHANGED = 7,
    STATUS_PASSWORD_CHANGE_FAILED = 8,
    STATUS_LOGIN_OK = 9,
    STATUS_LOGIN_FAILED = 10,
    STATUS_CLOCK_SET = 11,
    STATUS_CLOCK_SET_FAILED = 12,
    STATUS_DISK_TYPE_SET = 13,
    STATUS_DISK_TYPE_SET_FAILED = 14,
    STATUS_CAPACITY_OK = 15,
    STATUS_CAPACITY_UNKNOWN = 16,
    STATUS_DISK_TYPE_OK = 17,
    STATUS_DISK_TYPE_UNKNOWN = 18,
    // The format failed before writing anything: FAT32 with 4 KiB clusters cannot cover a device
    // of the recorder's size.
    STATUS_FORMAT_CAPACITY_OUTSIDE_FAT32 = 19,
};

// The codes run from 1 to this one without a gap. The window's logic names each code and keeps
// its reaction in one table (ui/status_reactions.cpp), which fails to compile without a row for
// every code.
inline constexpr int kLastOperationStatus = STATUS_FORMAT_CAPACITY_OUTSIDE_FAT32;

}  // namespace ulvren
