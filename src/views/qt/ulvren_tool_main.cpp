// ulvren-tool: the recorder tool's window, on this computer's disks.
#include <memory>

#include "host/host.h"
#include "host/platform.h"
#include "views/qt/tool_app.h"
#include "views/qt/udev_disk_monitor.h"

using namespace ulvren;

int main(int argc, char** argv) {
    views::CToolApp app(argc, argv);
    const std::unique_ptr<Host> host = platform::OpenSystemHost();
    ScopedHost installed(*host);
    app.Run([](CToolDlg& logic, views::QtMainWindowView& window) {
        // Without udev the window detects once, at start-up.
        auto* monitor = new views::UdevDiskMonitor(&window);
        QObject::connect(monitor, &views::UdevDiskMonitor::diskAdded, &window,
                         [&logic] { logic.OnDeviceChange(kDeviceArrival); });
        QObject::connect(monitor, &views::UdevDiskMonitor::diskRemoved, &window,
                         [&logic] { logic.OnDeviceChange(kDeviceRemoveComplete); });
    });
    return 0;
}
