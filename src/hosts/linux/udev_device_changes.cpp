// The Linux source of device changes: udev's notices of whole disks on the block subsystem.
#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <thread>

#include "host/platform.h"

namespace ulvren::platform {
namespace {

// Reads udev's monitor on a thread of its own and announces each disk's "add" and "remove".
// Where udev cannot be reached (no udev running, as in a container) it starts no thread and
// announces nothing, so the window detects once, at start-up.
class UdevDeviceChanges final : public DeviceChangeSource {
  public:
    UdevDeviceChanges() {
        udev_ = udev_new();
        if (udev_ == nullptr) {
            return;
        }
        // The "udev" monitor, not the kernel's: a disk is announced once udev's rules have run,
        // so its node exists and carries the rights udev gives it.
        monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
        if (monitor_ == nullptr ||
            udev_monitor_filter_add_match_subsystem_devtype(monitor_, "block", "disk") < 0 ||
            udev_monitor_enable_receiving(monitor_) < 0 || udev_monitor_get_fd(monitor_) < 0) {
            return;
        }
        stop_ = eventfd(0, EFD_CLOEXEC);
        if (stop_ < 0) {
            return;
        }
        reader_ = std::thread([this] { Read(); });
    }

    ~UdevDeviceChanges() override {
        if (reader_.joinable()) {
            const std::uint64_t one = 1;
            while (write(stop_, &one, sizeof one) < 0 && errno == EINTR) {
            }
            reader_.join();
        }
        if (stop_ >= 0) {
            close(stop_);
        }
        if (monitor_ != nullptr) {
            udev_monitor_unref(monitor_);
        }
        if (udev_ != nullptr) {
            udev_unref(udev_);
        }
    }

    UdevDeviceChanges(const UdevDeviceChanges&) = delete;
    UdevDeviceChanges& operator=(const UdevDeviceChanges&) = delete;

  private:
    void Read() {
        pollfd watched[] = {{udev_monitor_get_fd(monitor_), POLLIN, 0}, {stop_, POLLIN, 0}};
        for (;;) {
            if (poll(watched, 2, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return;
            }
            if (watched[1].revents != 0) {
                return;
            }
            // The socket does not block: take what has come, until it is empty.
            while (udev_device* device = udev_monitor_receive_device(monitor_)) {
                const char* action = udev_device_get_action(device);
                if (action != nullptr && std::strcmp(action, "add") == 0) {
                    Announce(DeviceChange::DiskArrived);
                } else if (action != nullptr && std::strcmp(action, "remove") == 0) {
                    Announce(DeviceChange::DiskGone);
                }
                udev_device_unref(device);
            }
        }
    }

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    int stop_ = -1;  // an eventfd that ends the reader
    std::thread reader_;
};

}  // namespace

std::unique_ptr<DeviceChangeSource> OpenDeviceChangeSource() {
    return std::make_unique<UdevDeviceChanges>();
}

}  // namespace ulvren::platform
