// The standard streams: descriptors 0, 1 and 2 open before the program opens anything, and
// whether standard error is a terminal.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "host/command_line_services.h"

namespace ulvren::platform {

bool EnsureStandardStreamsOpen() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // The lower ones are open by now, so the null device takes this very number.
        const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened != fd) {
            if (opened >= 0) {
                ::close(opened);
            }
            return false;
        }
    }
    return true;
}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace ulvren::platform
