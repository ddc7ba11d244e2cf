#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace ulvren {

// The removable drives as a drive-letter list: one root path per slot, in the host's drive
// order. Thirty-two slots, as many as the bits of a logical-drive mask; discovery itself
// (CUsbDisk::FindDevice) examines every drive the host lists, however many.
inline constexpr std::size_t kDriveListSlots = 32;
using DriveList = std::array<std::string, kDriveListSlots>;

// Fills `list` with the removable drives' root paths. Returns 1 and stores the number of slots
// filled in `count` when at least one was found; returns 0 and leaves `count` as it was when none
// was, or when `count` is null. Drives beyond the 32nd are not listed.
int EnumRemovableDrives(DriveList& list, std::int8_t* count);

}  // namespace ulvren
