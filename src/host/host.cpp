#include "host/host.h"

#include <atomic>

#include "protocol/scsi.h"

namespace ulvren {
namespace {

constexpr const char* kNoHostText = "no device host is installed";

thread_local HostError last_host_error;

// Stands in until a real host is installed: every call fails.
class NoHost final : public Host {
  public:
    DeviceHandle Open(const std::string&) override {
        SetLastHostError(HostErrorKind::Other, kNoHostText);
        return kInvalidDeviceHandle;
    }
    void Close(DeviceHandle) override {}
    PassThroughOutcome PassThrough(DeviceHandle, ScsiPassThroughRequest&) override {
        SetLastHostError(HostErrorKind::Other, kNoHostText);
        return PassThroughOutcome::Failed(PassThroughCategory::OsError, kNoHostText);
    }
    bool ControlVolume(DeviceHandle, VolumeControl) override { return false; }
    std::vector<std::string> RemovableDriveRoots() override { return {}; }
    std::string DevicePathPrefix() const override { return {}; }
    std::uint32_t MaxTransferSectors(DeviceHandle) override { return 0; }
};

NoHost no_host;
std::atomic<Host*> current_host{&no_host};

}  // namespace

const HostError& LastHostError() {
    return last_host_error;
}

void SetLastHostError(HostErrorKind kind, std::string text) {
    last_host_error = {kind, std::move(text)};
}

void ClearLastHostError() {
    last_host_error = {};
}

PassThroughOutcome PassThroughOutcome::Answered(std::uint8_t scsi_status, bool has_sense,
                                                std::uint32_t residual) {
    PassThroughOutcome outcome;
    outcome.scsi_status = scsi_status;
    outcome.residual = residual;
    if (scsi_status == kScsiStatusGood) {
        outcome.category = PassThroughCategory::Good;
    } else if (scsi_status == kScsiStatusCheckCondition && has_sense) {
        outcome.category = PassThroughCategory::Sense;
    } else {
        outcome.category = PassThroughCategory::Status;
    }
    return outcome;
}

PassThroughOutcome PassThroughOutcome::Failed(PassThroughCategory category, std::string reason) {
    PassThroughOutcome outcome;
    outcome.category = category;
    outcome.reason = std::move(reason);
    return outcome;
}

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
