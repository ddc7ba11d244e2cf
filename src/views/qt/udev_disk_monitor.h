#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

struct udev;
struct udev_monitor;

namespace ulvren::views {

// Disks coming and going, as udev announces them on the block subsystem. Where udev cannot be
// reached the monitor watches nothing and never signals.
class UdevDiskMonitor final : public QObject {
    Q_OBJECT

  public:
    explicit UdevDiskMonitor(QObject* parent = nullptr);
    ~UdevDiskMonitor() override;

    bool IsWatching() const { return notifier_ != nullptr; }

  signals:
    void diskAdded();
    void diskRemoved();

  private:
    void ReadEvents();

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace ulvren::views
