#include "hosts/simulated/simulated_machine.h"

namespace ulvren {

std::optional<SimulatedMachine> OpenSimulatedMachine(const SimulatedMachineOptions& options,
                                                     SimulatedMachineError& error) {
    auto recorder = OpenImageRecorder(options, error);
    if (!recorder) {
        return std::nullopt;
    }
    SimulatedMachine machine;
    machine.recorder = recorder->firmware;
    machine.file_errors = recorder->file_errors;
    machine.host = std::make_unique<SimulatedHost>();
    // Nobody reads the request log of this machine (--trace records requests), and a format of a
    // large drive would fill it with tens of thousands of entries.
    machine.host->SetRequestLogging(false);
    machine.host->AddDrive("C:\\", DriveKind::Fixed);
    machine.host->AddDrive("D:\\", DriveKind::PlainRemovable);
    machine.host->AddRecorder(SimulatedMachine::kRecorderRoot, machine.recorder);
    machine.host->SetMaxTransferSectors(machine.recorder->Settings().max_transfer_sectors);
    return machine;
}

}  // namespace ulvren
