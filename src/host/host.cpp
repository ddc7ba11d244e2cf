#include "host/host.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <type_traits>

#include "protocol/scsi.h"

namespace ulvren {
namespace {

constexpr const char* kNoHostText = "no device host is installed";

// Each thread's last error, in storage that needs no destructor. MinGW's emulated thread-local
// storage frees a thread's variables before it runs their destructors at thread exit, so a
// std::string here would be destroyed from freed memory, and the heap corrupted now and then.
struct ThreadHostError {
    HostErrorKind kind = HostErrorKind::None;
    std::size_t size = 0;
    std::array<char, 1024> text{};
};
static_assert(std::is_trivially_destructible_v<ThreadHostError>);
thread_local ThreadHostError last_host_error;

// The longest start of `text` that fits `capacity` bytes without cutting a UTF-8 character.
std::size_t FittingSize(const std::string& text, std::size_t capacity) {
    if (text.size() <= capacity) {
        return text.size();
    }
    std::size_t size = capacity;
    while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80) {
        --size;
    }
    return size;
}

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

HostError LastHostError() {
    return {last_host_error.kind, std::string(last_host_error.text.data(), last_host_error.size)};
}

void SetLastHostError(HostErrorKind kind, std::string text) {
    last_host_error.kind = kind;
    last_host_error.size = FittingSize(text, last_host_error.text.size());
    std::copy_n(text.data(), last_host_error.size, last_host_error.text.data());
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
