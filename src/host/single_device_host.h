#pragma once

#include <string>

#include "host/forwarding_host.h"

namespace ulvren {

// Shows discovery one device only: the given device path stands as the one removable drive, so a
// search finds the recorder there or nowhere. Every other call goes to the wrapped host.
class SingleDeviceHost final : public ForwardingHost {
  public:
    SingleDeviceHost(Host& inner, std::string device_path)
        : ForwardingHost(inner), device_path_(std::move(device_path)) {}

    std::vector<std::string> RemovableDriveRoots() override { return {device_path_}; }
    // The path is already whole.
    std::string DevicePathPrefix() const override { return {}; }

  private:
    std::string device_path_;
};

}  // namespace ulvren
