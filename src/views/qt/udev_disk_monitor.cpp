#include "views/qt/udev_disk_monitor.h"

#include <libudev.h>

#include <cstring>

namespace ulvren::views {

UdevDiskMonitor::UdevDiskMonitor(QObject* parent) : QObject(parent) {
    udev_ = udev_new();
    if (udev_ == nullptr) {
        return;
    }
    // Events as udev passes them on, once its rules have run and the node exists.
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (monitor_ == nullptr ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "block", "disk") < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        return;
    }
    const int fd = udev_monitor_get_fd(monitor_);
    if (fd < 0) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &UdevDiskMonitor::ReadEvents);
}

UdevDiskMonitor::~UdevDiskMonitor() {
    notifier_.reset();
    if (monitor_ != nullptr) {
        udev_monitor_unref(monitor_);
    }
    if (udev_ != nullptr) {
        udev_unref(udev_);
    }
}

void UdevDiskMonitor::ReadEvents() {
    // The socket is non-blocking: read until it is empty.
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(device);
        if (action != nullptr && std::strcmp(action, "add") == 0) {
            emit diskAdded();
        } else if (action != nullptr && std::strcmp(action, "remove") == 0) {
            emit diskRemoved();
        }
        udev_device_unref(device);
    }
}

}  // namespace ulvren::views
