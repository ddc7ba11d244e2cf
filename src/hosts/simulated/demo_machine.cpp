#include "hosts/simulated/demo_machine.h"

#include <filesystem>

namespace ulvren {

std::optional<DemoMachine> OpenDemoMachine(const std::string& directory,
                                           SimulatedMachineError& error) {
    SimulatedMachineOptions options;
    options.image_path = (std::filesystem::path(directory) / "recorder.img").string();
    std::optional<SimulatedMachine> machine = OpenSimulatedMachine(options, error);
    if (!machine) {
        return std::nullopt;
    }
    const std::string image_path = options.image_path;
    options.image_path = (std::filesystem::path(directory) / "recorder-2.img").string();
    std::optional<ImageRecorder> second = OpenImageRecorder(options, error);
    if (!second) {
        return std::nullopt;
    }
    machine->host->AddRecorder(DemoMachine::kSecondRecorderRoot, second->firmware);
    machine->host->Unplug(DemoMachine::kSecondRecorderRoot);
    return DemoMachine{std::move(*machine), image_path, std::move(*second)};
}

std::vector<DemoDrive> SetUpDemoDrives(SimulatedHost& host, const std::string& recorder_root,
                                       const std::string& second_recorder_root) {
    std::vector<DemoDrive> drives{{"Recorder plugged in", recorder_root, true}};
    if (!second_recorder_root.empty()) {
        drives.push_back({"Second recorder plugged in", second_recorder_root, false});
    }
    host.AddDrive(DemoMachine::kUsbDiskRoot, DriveKind::PlainRemovable);
    drives.push_back({"USB disk (no recorder) plugged in", DemoMachine::kUsbDiskRoot, false});
    for (const DemoDrive& drive : drives) {
        if (!drive.plugged) {
            host.Unplug(drive.root);
        }
    }
    return drives;
}

}  // namespace ulvren
