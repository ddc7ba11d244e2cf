#include "host/linux/flock_named_mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "host/queued_device_mutex.h"

namespace ulvren {

std::vector<std::string> FlockNamedMutex::DefaultLockDirectories() {
    return {"/run/lock", "/tmp"};
}

std::string FlockNamedMutex::LockFilePath(const std::string& directory, const std::string& name) {
    return directory + "/ulvren-" + name + ".lock";
}

FlockNamedMutex::FlockNamedMutex(std::string name, std::vector<std::string> directories)
    : name_(std::move(name)), directories_(std::move(directories)) {}

FlockNamedMutex::~FlockNamedMutex() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

int FlockNamedMutex::OpenLockFile() const {
    for (const std::string& directory : directories_) {
        const std::string path = LockFilePath(directory, name_);
        // flock needs no write access, so a file that another user created can be shared. Open
        // before creating: in sticky directories the kernel may refuse O_CREAT on another user's
        // existing file.
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
        }
        if (fd < 0 && errno == EACCES) {
            // Someone else created it between the two calls.
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        }
        if (fd >= 0) {
            return fd;
        }
    }
    return -1;
}

bool FlockNamedMutex::Lock() {
    const int fd = OpenLockFile();
    if (fd < 0) {
        return false;
    }
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void FlockNamedMutex::Unlock() {
    if (fd_ >= 0) {
        // Closing the last descriptor of the open file drops the lock.
        ::close(fd_);
        fd_ = -1;
    }
}

std::shared_ptr<DeviceMutex> OpenDeviceMutex(std::vector<std::string> directories) {
    return std::make_shared<QueuedDeviceMutex>(
        std::make_unique<FlockNamedMutex>(kDeviceMutexName, std::move(directories)));
}

}  // namespace ulvren
