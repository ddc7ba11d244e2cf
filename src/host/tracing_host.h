#pragma once

#include <mutex>
#include <ostream>
#include <string>

#include "host/host.h"

namespace ulvren {

// One trace line for a completed request:
//   in cdb=<hex> len=<n> timeout=<s> sense=<n> reply=<first 8 reply bytes, hex>
//   out cdb=<hex> len=<n> timeout=<s> sense=<n>
// Tools outside the project read this format; keep it stable.
std::string FormatTraceLine(const ScsiPassThroughRequest& request);

// Wraps any host and writes one trace line per pass-through request, after it completes.
class TracingHost final : public Host {
  public:
    TracingHost(Host& inner, std::ostream& out) : inner_(inner), out_(out) {}

    DeviceHandle Open(const std::string& device_path) override { return inner_.Open(device_path); }
    void Close(DeviceHandle handle) override { inner_.Close(handle); }
    bool PassThrough(DeviceHandle handle, ScsiPassThroughRequest& request) override;
    bool ControlVolume(DeviceHandle handle, VolumeControl control) override {
        return inner_.ControlVolume(handle, control);
    }
    std::vector<std::string> RemovableDriveRoots() override { return inner_.RemovableDriveRoots(); }
    std::string DevicePathPrefix() const override { return inner_.DevicePathPrefix(); }
    std::uint32_t MaxTransferSectors(DeviceHandle handle) override {
        return inner_.MaxTransferSectors(handle);
    }
    std::string LastErrorText() const override { return inner_.LastErrorText(); }

  private:
    Host& inner_;
    std::ostream& out_;
    std::mutex out_mutex_;
};

}  // namespace ulvren
