// ulvren-tool: the recorder tool's window, on this computer's disks.
#include <memory>

#include "host/host.h"
#include "host/platform.h"
#include "views/qt/tool_app.h"

using namespace ulvren;

int main(int argc, char** argv) {
    views::qt::CToolApp app(argc, argv);
    const std::unique_ptr<Host> host = platform::OpenSystemHost();
    ScopedHost installed(*host);
    // Where the system tells of no disks coming and going, the window detects once, at start-up.
    const std::unique_ptr<DeviceChangeSource> device_changes = platform::OpenDeviceChangeSource();
    app.Run(*device_changes);
    return 0;
}
