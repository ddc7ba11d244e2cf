#pragma once

#include <QLabel>
#include <QWidget>

#include "hosts/simulated/demo_machine.h"

namespace ulvren::views::qt {

// The demo's second window: plugs and unplugs the simulated recorder, a second recorder where
// there is one, and a plain USB disk that is no recorder; the simulated machine tells of each
// change as the system would.
class DevicePanel final : public QWidget {
    Q_OBJECT

  public:
    static constexpr const char* kUsbDiskRoot = DemoMachine::kUsbDiskRoot;

    // A switch for each of the demo's drives (SetUpDemoDrives).
    DevicePanel(SimulatedHost& host, const std::string& recorder_root, const QString& image_path,
                const std::string& second_recorder_root = {});

    // Shows the panel beside `window` on its screen: to its right, else to its left, below or
    // above, where it first fits whole; where it fits nowhere beside it, in the corner of the
    // screen's available area where it covers the least of it; never wider than that area.
    void ShowBeside(const QWidget& window);

  private:
    void AddSwitch(const QString& caption, const std::string& root, bool plugged);

    SimulatedHost& host_;
    QLabel* image_;
};

}  // namespace ulvren::views::qt
