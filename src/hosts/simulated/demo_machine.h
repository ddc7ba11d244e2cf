#pragma once

#include <optional>
#include <string>
#include <vector>

#include "hosts/simulated/simulated_machine.h"

namespace ulvren {

// The machine the demos run (on either toolkit): the simulated machine over `recorder.img` in
// the demo's folder, its recorder E: plugged in, and a second recorder G: over `recorder-2.img`
// beside it, unplugged.
struct DemoMachine {
    static constexpr const char* kSecondRecorderRoot = "G:\\";
    static constexpr const char* kUsbDiskRoot = "F:\\";

    SimulatedMachine machine;
    std::string image_path;  // the first recorder's image
    ImageRecorder second_recorder;
};

// Opens the demo's recorders in `directory`, which exists. Null, with `error` set, when either
// recorder cannot be opened.
std::optional<DemoMachine> OpenDemoMachine(const std::string& directory,
                                           SimulatedMachineError& error);

// A drive that the demo's "Simulated devices" window plugs in and unplugs.
struct DemoDrive {
    std::string caption;  // of its switch
    std::string root;
    bool plugged = false;  // at start
};

// The drives of the device window, in its order: the recorder at `recorder_root`, plugged in; the
// second recorder at `second_recorder_root` when one is named; a USB disk F: that is no recorder.
// Adds the USB disk to `host` and unplugs the drives that start unplugged.
std::vector<DemoDrive> SetUpDemoDrives(SimulatedHost& host, const std::string& recorder_root,
                                       const std::string& second_recorder_root);

}  // namespace ulvren
