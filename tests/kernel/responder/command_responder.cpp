#include "command_responder.h"

#include <time.h>

#include <algorithm>
#include <cstdio>

namespace ulvren::kernel_test {

CommandResponder::CommandResponder(std::shared_ptr<RecorderFirmware> disk)
    : disk_(std::move(disk)) {}

void CommandResponder::BeginSession() {
    std::lock_guard lock(mutex_);
    disk_->BeginSession();
}

void CommandResponder::ChangeFaults(const std::function<void(DeviceFaults&)>& change) {
    std::lock_guard lock(mutex_);
    change(faults_);
}

bool CommandResponder::LogOpcodesTo(const std::string& path) {
    std::lock_guard lock(mutex_);
    opcode_log_.open(path, std::ios::app);
    return opcode_log_.is_open();
}

void CommandResponder::Mark() {
    std::lock_guard lock(mutex_);
    LogLine("mark");
}

void CommandResponder::LogLine(const std::string& what) {
    if (!opcode_log_.is_open()) {
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    char time[32];
    std::snprintf(time, sizeof time, "%lld.%06ld", static_cast<long long>(now.tv_sec),
                  now.tv_nsec / 1000);
    opcode_log_ << what << ' ' << time << std::endl;
}

Reply CommandResponder::Answer(const CommandBlock& command, std::span<std::uint8_t> data_out) {
    std::lock_guard lock(mutex_);
    if (opcode_log_.is_open()) {
        char opcode[16];
        std::snprintf(opcode, sizeof opcode, "opcode %x", command.cdb[0]);
        LogLine(opcode);
    }
    Reply reply;
    std::span<std::uint8_t> data = data_out;
    if (command.data_in) {
        reply.data_in.assign(command.data_length, 0);
        data = reply.data_in;
    }
    const DeviceAnswer answer = faults_.Execute(
        *disk_, command.cdb, DirectionOf(command.data_length, command.data_in), data);
    switch (answer.kind) {
        case DeviceAnswer::Kind::Answered:
            break;
        case DeviceAnswer::Kind::Unplugged:
            reply.unplug = true;
            [[fallthrough]];
        case DeviceAnswer::Kind::NoAnswer:
            reply.answered = false;
            return reply;
    }
    if (answer.result.status != kScsiStatusGood) {
        // Nothing of a refused command's data goes out; the disk keeps the sense for the
        // REQUEST SENSE that follows.
        std::fill(reply.data_in.begin(), reply.data_in.end(), std::uint8_t{0});
        reply.status = kStatusFailed;
        reply.residue = command.data_length;
    }
    return reply;
}

}  // namespace ulvren::kernel_test
