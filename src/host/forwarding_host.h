#pragma once

#include "host/host.h"

namespace ulvren {

// A host that hands every call to another one. Wrappers that watch or change a few calls (the
// tracing wrapper, test probes) derive from it and override only those.
class ForwardingHost : public Host {
  public:
    explicit ForwardingHost(Host& inner) : inner_(inner) {}

    DeviceHandle Open(const std::string& device_path) override { return inner_.Open(device_path); }
    void Close(DeviceHandle handle) override { inner_.Close(handle); }
    PassThroughOutcome PassThrough(DeviceHandle handle, ScsiPassThroughRequest& request) override {
        return inner_.PassThrough(handle, request);
    }
    bool ControlVolume(DeviceHandle handle, VolumeControl control) override {
        return inner_.ControlVolume(handle, control);
    }
    std::vector<std::string> RemovableDriveRoots() override { return inner_.RemovableDriveRoots(); }
    std::string DevicePathPrefix() const override { return inner_.DevicePathPrefix(); }
    std::uint32_t MaxTransferSectors(DeviceHandle handle) override {
        return inner_.MaxTransferSectors(handle);
    }

  protected:
    Host& inner() const { return inner_; }

  private:
    Host& inner_;
};

}  // namespace ulvren
