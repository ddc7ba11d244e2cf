// What the Linux build supplies behind the platform seam beyond what every POSIX platform does
// (src/hosts/posix/): the device calls.
#include "host/platform.h"
#include "hosts/linux/linux_host.h"

namespace ulvren::platform {

std::unique_ptr<Host> OpenSystemHost() {
    return std::make_unique<LinuxHost>();
}

}  // namespace ulvren::platform
