#include "host/host.h"

#include <atomic>

namespace ulvren {
namespace {

// Stands in until a real host is installed: every call fails.
class NoHost final : public Host {
  public:
    DeviceHandle Open(const std::string&) override { return INVALID_HANDLE_VALUE; }
    void Close(DeviceHandle) override {}
    bool PassThrough(DeviceHandle, ScsiPassThroughRequest&) override { return false; }
    bool ControlVolume(DeviceHandle, VolumeControl) override { return false; }
    std::vector<std::string> RemovableDriveRoots() override { return {}; }
    std::string DevicePathPrefix() const override { return {}; }
    std::uint32_t MaxTransferSectors(DeviceHandle) override { return 0; }
    std::string LastErrorText() const override { return "no device host is installed"; }
};

NoHost no_host;
std::atomic<Host*> current_host{&no_host};

}  // namespace

std::string DevicePathFromRoot(const std::string& prefix, const std::string& root) {
    std::string path = prefix + root;
    if (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

Host& CurrentHost() {
    return *current_host.load();
}

ScopedHost::ScopedHost(Host& host) : previous_(current_host.exchange(&host)) {}

ScopedHost::~ScopedHost() {
    current_host.store(previous_);
}

}  // namespace ulvren
