// The simulated recorder as a USB device: serves the recorder's firmware model over a Bulk-Only
// Transport on a FunctionFS mount, for the kernel tests in the guest.
//
// usage: ulvren_bot_responder [--plain] [--opcode-log FILE]
//                             FFS_DIR IMAGE SECTORS UDC_FILE CONTROL_FIFO REPLY_FIFO
//
// --plain serves a plain USB disk that answers no vendor command; --opcode-log FILE appends the
// opcode of every command the device receives to FILE, with its arrival time on the monotonic
// clock ("opcode 2a 41.250113"); the control line "mark" appends "mark TIME" there.
// IMAGE (and IMAGE.state beside it) is the recorder's storage and settings, created with SECTORS
// sectors when missing, exactly as `ulvren --simulate` keeps them. UDC_FILE is the gadget's UDC
// file in configfs, emptied by the unplug fault. The control channel takes one line at a time on
// CONTROL_FIFO (see fault_control.h) and answers each on REPLY_FIFO once it is in force.
#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstdint>
#include <iostream>
#include <string>
#include <thread>

#include "command_responder.h"
#include "fault_control.h"
#include "functionfs_device.h"
#include "recorder/image_recorder.h"

using namespace ulvren;
using namespace ulvren::kernel_test;

namespace {

void ServeControl(CommandResponder& responder, const std::string& control_path,
                  const std::string& reply_path) {
    // Opened for writing too, so that the FIFO never reads as ended between two writers.
    const int control = ::open(control_path.c_str(), O_RDWR | O_CLOEXEC);
    if (control < 0) {
        std::cerr << "responder: cannot open " << control_path << '\n';
        return;
    }
    std::string line;
    char c = 0;
    while (::read(control, &c, 1) == 1) {
        if (c != '\n') {
            line += c;
            continue;
        }
        std::string answer = "ok\n";
        if (line == "mark") {
            responder.Mark();
        } else {
            responder.ChangeFaults(
                [&](DeviceFaults& faults) { answer = ApplyControlLine(faults, line) + "\n"; });
        }
        std::cerr << "responder: control '" << line << "': " << answer;
        line.clear();
        const int reply = ::open(reply_path.c_str(), O_WRONLY | O_CLOEXEC);
        if (reply >= 0) {
            (void)!::write(reply, answer.data(), answer.size());
            ::close(reply);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool plain_disk = false;
    std::string opcode_log;
    int first = 1;
    for (; first < argc && std::string(argv[first]).starts_with("--"); ++first) {
        const std::string option = argv[first];
        if (option == "--plain") {
            plain_disk = true;
        } else if (option == "--opcode-log" && first + 1 < argc) {
            opcode_log = argv[++first];
        } else {
            first = argc;  // reported below as bad usage
        }
    }
    if (argc - first != 6) {
        std::cerr << "usage: " << argv[0]
                  << " [--plain] [--opcode-log FILE]"
                     " FFS_DIR IMAGE SECTORS UDC_FILE CONTROL_FIFO REPLY_FIFO\n";
        return 2;
    }
    argv += first - 1;
    const std::string sectors_text = argv[3];
    std::uint64_t sectors = 0;
    const auto [end, code] =
        std::from_chars(sectors_text.data(), sectors_text.data() + sectors_text.size(), sectors);
    if (code != std::errc{} || end != sectors_text.data() + sectors_text.size()) {
        std::cerr << "responder: SECTORS must be a number\n";
        return 2;
    }
    ImageRecorderError error;
    auto recorder = OpenImageRecorder({argv[2], sectors, std::nullopt}, error,
                                      plain_disk ? DiskModel::PlainDisk : DiskModel::Recorder);
    if (!recorder) {
        std::cerr << "responder: " << error.text << '\n';
        return 1;
    }
    CommandResponder responder(recorder->firmware);
    if (!opcode_log.empty() && !responder.LogOpcodesTo(opcode_log)) {
        std::cerr << "responder: cannot open " << opcode_log << '\n';
        return 1;
    }
    FunctionFsDevice device(argv[1], argv[4], responder);
    if (!device.Start()) {
        return 1;
    }
    std::thread(ServeControl, std::ref(responder), std::string(argv[5]), std::string(argv[6]))
        .detach();
    std::thread([&device] { device.ServeEvents(); }).detach();
    device.ServeBulk();
}
