#include "functionfs_device.h"

#include <fcntl.h>
#include <linux/usb/ch9.h>
#include <linux/usb/functionfs.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <thread>
#include <vector>

#include "functionfs_descriptors.h"

namespace ulvren::kernel_test {
namespace {

constexpr std::uint8_t kGetMaxLun = 0xFE;
constexpr std::uint8_t kBulkOnlyReset = 0xFF;
constexpr std::size_t kHighSpeedBulkPacket = 512;
// Interrupts a blocked endpoint transfer, which FunctionFS then cancels.
constexpr int kInterruptSignal = SIGUSR2;

void IgnoreSignal(int) {}

void Log(const std::string& text) {
    std::cerr << "responder: " << text << std::endl;
}

bool WriteBlob(int fd, const std::vector<std::uint8_t>& blob, const char* what) {
    if (::write(fd, blob.data(), blob.size()) != static_cast<ssize_t>(blob.size())) {
        Log(std::string("cannot write the ") + what + ": " + std::strerror(errno));
        return false;
    }
    return true;
}

}  // namespace

FunctionFsDevice::FunctionFsDevice(std::string mount_point, std::string udc_file,
                                   CommandResponder& responder)
    : mount_point_(std::move(mount_point)), udc_file_(std::move(udc_file)), responder_(responder) {}

FunctionFsDevice::~FunctionFsDevice() {
    for (const int fd : {bulk_out_, bulk_in_, ep0_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool FunctionFsDevice::Start() {
    struct sigaction action {};
    action.sa_handler = IgnoreSignal;  // and no SA_RESTART: the blocked call returns EINTR
    sigemptyset(&action.sa_mask);
    ::sigaction(kInterruptSignal, &action, nullptr);

    ep0_ = ::open((mount_point_ + "/ep0").c_str(), O_RDWR | O_CLOEXEC);
    if (ep0_ < 0) {
        Log("cannot open " + mount_point_ + "/ep0: " + std::strerror(errno));
        return false;
    }
    if (!WriteBlob(ep0_, FunctionDescriptors(), "descriptors") ||
        !WriteBlob(ep0_, FunctionStrings(), "strings")) {
        return false;
    }
    bulk_in_ = ::open((mount_point_ + "/ep1").c_str(), O_RDWR | O_CLOEXEC);
    bulk_out_ = ::open((mount_point_ + "/ep2").c_str(), O_RDWR | O_CLOEXEC);
    if (bulk_in_ < 0 || bulk_out_ < 0) {
        Log("cannot open the bulk endpoints: " + std::string(std::strerror(errno)));
        return false;
    }
    return true;
}

void FunctionFsDevice::Reset(bool enabled) {
    {
        std::lock_guard lock(mutex_);
        enabled_ = enabled;
        ++epoch_;
    }
    enabled_changed_.notify_all();
    if (bulk_thread_known_) {
        ::pthread_kill(bulk_thread_, kInterruptSignal);
    }
}

void FunctionFsDevice::WaitUntilEnabled() {
    std::unique_lock lock(mutex_);
    enabled_changed_.wait(lock, [this] { return enabled_; });
}

void FunctionFsDevice::ServeEvents() {
    std::array<usb_functionfs_event, 4> events{};
    for (;;) {
        const ssize_t got = ::read(ep0_, events.data(), sizeof(events));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            Log(std::string("ep0 failed: ") + std::strerror(errno));
            return;
        }
        for (std::size_t i = 0; i < static_cast<std::size_t>(got) / sizeof(events[0]); ++i) {
            switch (events[i].type) {
                case FUNCTIONFS_ENABLE:
                    responder_.BeginSession();
                    Reset(true);
                    break;
                case FUNCTIONFS_DISABLE:
                case FUNCTIONFS_UNBIND:
                    Reset(false);
                    break;
                case FUNCTIONFS_SETUP:
                    HandleSetup(&events[i].u.setup);
                    break;
                default:
                    break;
            }
        }
    }
}

void FunctionFsDevice::HandleSetup(const void* request) {
    usb_ctrlrequest setup{};
    std::memcpy(&setup, request, sizeof(setup));
    const bool in = (setup.bRequestType & USB_DIR_IN) != 0;
    const bool class_request = (setup.bRequestType & USB_TYPE_MASK) == USB_TYPE_CLASS;
    if (class_request && in && setup.bRequest == kGetMaxLun) {
        const std::uint8_t max_lun = 0;
        (void)!::write(ep0_, &max_lun, 1);
        return;
    }
    if (class_request && !in && setup.bRequest == kBulkOnlyReset) {
        Reset(true);
        (void)!::read(ep0_, nullptr, 0);  // the status stage
        return;
    }
    // Anything else is stalled: FunctionFS stalls a transfer in the wrong direction.
    if (in) {
        (void)!::read(ep0_, nullptr, 0);
    } else {
        (void)!::write(ep0_, nullptr, 0);
    }
}

bool FunctionFsDevice::ReadFully(std::span<std::uint8_t> buffer, std::uint64_t epoch) {
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t got = ::read(bulk_out_, buffer.data() + done, buffer.size() - done);
        if (got <= 0 || !StillCurrent(epoch)) {
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool FunctionFsDevice::WriteAll(std::span<const std::uint8_t> buffer, std::uint64_t epoch) {
    // One write: a data phase split over several writes ends each part with a short packet.
    if (!StillCurrent(epoch)) {
        return false;
    }
    return ::write(bulk_in_, buffer.data(), buffer.size()) == static_cast<ssize_t>(buffer.size());
}

void FunctionFsDevice::Unplug() {
    // From another thread: unbinding the gadget waits for the function to be torn down.
    std::thread([file = udc_file_] {
        const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0 || ::write(fd, "\n", 1) != 1) {
            Log("cannot unplug through " + file + ": " + std::strerror(errno));
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }).detach();
}

void FunctionFsDevice::ServeCommand(std::uint64_t epoch) {
    // A CBW is one short packet; a whole packet's worth is read so that nothing is left behind.
    std::array<std::uint8_t, kHighSpeedBulkPacket> wrapper{};
    const ssize_t got = ::read(bulk_out_, wrapper.data(), wrapper.size());
    if (got <= 0 || !StillCurrent(epoch)) {
        return;
    }
    const auto command = ParseCommandBlock(
        std::span<const std::uint8_t>(wrapper.data(), static_cast<std::size_t>(got)));
    if (!command) {
        Log("ignored a malformed command block of " + std::to_string(got) + " bytes");
        return;
    }
    std::vector<std::uint8_t> data_out;
    if (!command->data_in && command->data_length > 0) {
        data_out.resize(command->data_length);
        if (!ReadFully(data_out, epoch)) {
            return;
        }
    }
    const Reply reply = responder_.Answer(*command, data_out);
    if (reply.unplug) {
        Log("unplugging during a write, as told");
        Unplug();
    }
    if (!reply.answered) {
        return;
    }
    if (command->data_in && command->data_length > 0 && !WriteAll(reply.data_in, epoch)) {
        return;
    }
    WriteAll(StatusBlock(command->tag, reply.residue, reply.status), epoch);
}

void FunctionFsDevice::ServeBulk() {
    bulk_thread_ = ::pthread_self();
    bulk_thread_known_ = true;
    for (;;) {
        WaitUntilEnabled();
        ServeCommand(epoch_);
    }
}

}  // namespace ulvren::kernel_test
