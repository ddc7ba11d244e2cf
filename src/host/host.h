#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/device_handle.h"
#include "host/scsi_pass_through_request.h"

namespace ulvren {

enum class VolumeControl { Lock, Unlock, Dismount };

// The operating system's device calls, and nothing else. The device layer reaches the OS only
// through this interface; Linux, Windows and the simulated recorder each implement it.
//
// Every call reports failure as its plain result (an invalid handle, false, an empty list) and
// leaves a readable reason in LastErrorText(); none throws.
class Host {
  public:
    virtual ~Host() = default;

    // Opens the volume named by `device_path` for reading and writing.
    virtual DeviceHandle Open(const std::string& device_path) = 0;
    virtual void Close(DeviceHandle handle) = 0;

    // Carries out one pass-through request. True means that the OS carried the request out (the
    // SCSI status and sense, which the OS writes back into the record, are not judged here).
    virtual bool PassThrough(DeviceHandle handle, ScsiPassThroughRequest& request) = 0;

    virtual bool ControlVolume(DeviceHandle handle, VolumeControl control) = 0;

    // The root paths of the removable drives, in the platform's drive order.
    virtual std::vector<std::string> RemovableDriveRoots() = 0;

    // What goes before a root path to name its volume ("\\?\" on Windows, empty on Linux).
    virtual std::string DevicePathPrefix() const = 0;

    // The largest transfer, in 512-byte sectors, that one request may carry on this handle.
    virtual std::uint32_t MaxTransferSectors(DeviceHandle handle) = 0;

    // Why the last failing call of this host failed, in words for a person.
    virtual std::string LastErrorText() const = 0;
};

// The device path of a drive from its root path: the host's prefix, then the root path with a
// trailing backslash removed (so "\\?\" and "E:\" give "\\?\E:").
std::string DevicePathFromRoot(const std::string& prefix, const std::string& root);

// The host that the device layer uses. Process-wide, like the operating system it stands for.
Host& CurrentHost();

// Installs `host` for the lifetime of this object and puts the previous one back afterwards.
class ScopedHost {
  public:
    explicit ScopedHost(Host& host);
    ~ScopedHost();
    ScopedHost(const ScopedHost&) = delete;
    ScopedHost& operator=(const ScopedHost&) = delete;

  private:
    Host* previous_;
};

}  // namespace ulvren
