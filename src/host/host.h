#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/device_handle.h"
#include "host/pass_through_outcome.h"
#include "host/scsi_pass_through_request.h"

namespace ulvren {

enum class VolumeControl {
    Lock,    // keep other programs off the volume for the session
    Unlock,  // let them back
    // Take the volume from the file systems the system has mounted on it (Linux unmounts them),
    // so that none writes stale sectors over it. Only sessions that end with a dismount take this
    // step, and only on a device that has identified as the recorder.
    ReleaseFileSystems,
    Dismount,  // have the system read the volume afresh
};

// Why a host call failed, kept per thread like the OS's own last error, so that a worker reads the
// reason of its own failure whatever other threads did meanwhile.
enum class HostErrorKind {
    None,
    AccessDenied,  // the user lacks the rights the call needs
    Other,
};

struct HostError {
    HostErrorKind kind = HostErrorKind::None;
    std::string text;  // in words for a person

    bool operator==(const HostError&) const = default;
};

// The last failure that a host call reported on the calling thread; None until one did. Texts are
// kept up to 1 KiB.
HostError LastHostError();
// What a host calls when one of its calls fails on this thread.
void SetLastHostError(HostErrorKind kind, std::string text);
void ClearLastHostError();

// The operating system's device calls, and nothing else. The device layer reaches the OS only
// through this interface; Linux, Windows and the simulated recorder each implement it.
//
// Every call reports failure as its plain result (an invalid handle, false, an empty list, a
// failed outcome) and leaves the reason in the calling thread's LastHostError(); none throws.
class Host {
  public:
    virtual ~Host() = default;

    // Opens the volume named by `device_path` for reading and writing.
    virtual DeviceHandle Open(const std::string& device_path) = 0;
    virtual void Close(DeviceHandle handle) = 0;

    // Carries out one pass-through request. The SCSI status and sense also go back into the
    // record, as the OS writes them there.
    virtual PassThroughOutcome PassThrough(DeviceHandle handle,
                                           ScsiPassThroughRequest& request) = 0;

    virtual bool ControlVolume(DeviceHandle handle, VolumeControl control) = 0;

    // The root paths of the removable drives, in the platform's drive order.
    virtual std::vector<std::string> RemovableDriveRoots() = 0;

    // What goes before a root path to name its volume ("\\?\" on Windows, empty on Linux).
    virtual std::string DevicePathPrefix() const = 0;

    // The largest transfer, in 512-byte sectors, that one request may carry on this handle.
    virtual std::uint32_t MaxTransferSectors(DeviceHandle handle) = 0;
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
