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

std::string SimulatedMachine::RecorderRoot(std::size_t index) {
    return std::string(1, static_cast<char>('E' + index)) + ":\\";
}

std::optional<std::string> SimulatedMachine::FirstFileError() const {
    if (auto first = file_errors->First()) {
        return first;
    }
    for (const ImageRecorder& further : further_recorders) {
        if (auto error = further.file_errors->First()) {
            return error;
        }
    }
    return std::nullopt;
}

bool AddSimulatedRecorder(SimulatedMachine& machine, const SimulatedMachineOptions& options,
                          SimulatedMachineError& error) {
    const std::size_t index = machine.further_recorders.size() + 1;
    if ('E' + index > 'Z') {
        error = {SimulatedMachineError::Kind::BadOptions,
                 "no drive letter is left for " + options.image_path};
        return false;
    }
    auto recorder = OpenImageRecorder(options, error);
    if (!recorder) {
        return false;
    }
    machine.host->AddRecorder(SimulatedMachine::RecorderRoot(index), recorder->firmware);
    machine.further_recorders.push_back(std::move(*recorder));
    return true;
}

}  // namespace ulvren
