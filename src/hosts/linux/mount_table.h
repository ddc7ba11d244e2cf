#pragma once

#include <istream>
#include <string>
#include <vector>

#include "hosts/linux/device_number.h"

namespace ulvren {

// One mounted file system, from a line of /proc/self/mountinfo.
struct MountEntry {
    DeviceNumber device;
    std::string mount_point;  // with the kernel's octal escapes (\040 and so on) decoded
    std::string source;       // e.g. "/dev/sdb1"
    std::string type;         // e.g. "vfat", "fuse.sshfs"
};

// Parses the text of /proc/<pid>/mountinfo. Lines that do not have the kernel's layout are
// skipped.
std::vector<MountEntry> ParseMountInfo(std::istream& text);

// The mount points of the file systems that live on one of `devices` (by device number) or whose
// source is one of `device_nodes` (btrfs shows an anonymous device number), in the order to
// unmount them: latest mount first, so that a file system mounted on top of another one goes
// first. FUSE mounts never count: their source is whatever text the user who mounted them chose.
std::vector<std::string> MountPointsToRelease(const std::vector<MountEntry>& mounts,
                                              const std::vector<DeviceNumber>& devices,
                                              const std::vector<std::string>& device_nodes);

}  // namespace ulvren
