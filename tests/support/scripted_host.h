#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"

namespace ulvren::testing {

// A host whose device answers every data-in request with the next scripted reply, and which
// records every record it is handed. For pinning bytes on the wire and reply tests.
class ScriptedHost final : public Host {
  public:
    struct Sent {
        std::array<std::uint8_t, ScsiPassThroughRequest::kSize> record;
        std::vector<std::uint8_t> cdb;
    };

    static constexpr DeviceHandle kHandle = 7;

    // Queues the bytes the next data-in request receives.
    void Reply(std::vector<std::uint8_t> bytes) { replies_.push_back(std::move(bytes)); }
    // The next request fails at the OS level.
    void FailNext() { replies_.push_back(std::nullopt); }
    // The next request that nothing else was scripted for ends with `outcome`.
    void EndNextWith(PassThroughOutcome outcome) { outcomes_.push_back(std::move(outcome)); }

    const std::vector<Sent>& sent() const { return sent_; }

    DeviceHandle Open(const std::string&) override { return kHandle; }
    void Close(DeviceHandle) override {}
    PassThroughOutcome PassThrough(DeviceHandle, ScsiPassThroughRequest& request) override {
        sent_.push_back({request.Bytes(), {request.Cdb().begin(), request.Cdb().end()}});
        if (replies_.empty() && !outcomes_.empty()) {
            PassThroughOutcome outcome = std::move(outcomes_.front());
            outcomes_.pop_front();
            return outcome;
        }
        if (replies_.empty()) {
            return kAnswered;  // carried out, the device sent nothing back
        }
        const auto reply = replies_.front();
        replies_.pop_front();
        if (!reply) {
            return PassThroughOutcome::Failed(PassThroughCategory::OsError, "scripted failure");
        }
        if (request.DataIn() && request.DataBuffer() != nullptr) {
            std::memcpy(request.DataBuffer(), reply->data(),
                        std::min<std::size_t>(reply->size(), request.DataTransferLength()));
        }
        return kAnswered;
    }
    bool ControlVolume(DeviceHandle, VolumeControl) override { return true; }
    std::vector<std::string> RemovableDriveRoots() override { return {}; }
    std::string DevicePathPrefix() const override { return {}; }
    std::uint32_t MaxTransferSectors(DeviceHandle) override { return 240; }

  private:
    inline static const PassThroughOutcome kAnswered = PassThroughOutcome::Answered(0, false);

    std::deque<std::optional<std::vector<std::uint8_t>>> replies_;
    std::deque<PassThroughOutcome> outcomes_;
    std::vector<Sent> sent_;
};

// Builds a reply from an opcode byte followed by text and raw bytes.
inline std::vector<std::uint8_t> ReplyBytes(std::initializer_list<int> bytes) {
    std::vector<std::uint8_t> reply;
    for (int b : bytes)
        reply.push_back(static_cast<std::uint8_t>(b));
    return reply;
}

}  // namespace ulvren::testing
