#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "host/forwarding_host.h"

namespace ulvren::testing {

// Wraps a host and notes, in order, every open ("open", or "open failed"), close, and volume
// control ("lock", "unlock", "dismount") that passes through it.
class VolumeCallLog final : public ForwardingHost {
  public:
    explicit VolumeCallLog(Host& inner) : ForwardingHost(inner) {}

    // Runs `hook` once, right after the next close.
    void AfterNextClose(std::function<void()> hook) {
        std::lock_guard lock(mutex_);
        after_next_close_ = std::move(hook);
    }

    std::vector<std::string> Calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }

    DeviceHandle Open(const std::string& device_path) override {
        const DeviceHandle handle = inner().Open(device_path);
        Note(handle == kInvalidDeviceHandle ? "open failed" : "open");
        return handle;
    }
    void Close(DeviceHandle handle) override {
        Note("close");
        inner().Close(handle);
        std::function<void()> hook;
        {
            std::lock_guard lock(mutex_);
            hook.swap(after_next_close_);
        }
        if (hook) {
            hook();
        }
    }
    bool ControlVolume(DeviceHandle handle, VolumeControl control) override {
        Note(control == VolumeControl::Lock                 ? "lock"
             : control == VolumeControl::Unlock             ? "unlock"
             : control == VolumeControl::ReleaseFileSystems ? "release"
                                                            : "dismount");
        return inner().ControlVolume(handle, control);
    }

  private:
    void Note(std::string call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }

    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    std::function<void()> after_next_close_;
};

}  // namespace ulvren::testing
