#pragma once

#include "host/device_change.h"

namespace ulvren {

// The simulated machine's notices of disks coming and going: its Plug and Unplug announce them,
// on the thread that plugged, as the system would of a real disk.
class SimulatedDeviceChanges final : public DeviceChangeSource {
  public:
    using DeviceChangeSource::Announce;
};

}  // namespace ulvren
