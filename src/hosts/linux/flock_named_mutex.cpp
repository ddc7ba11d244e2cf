#include "hosts/linux/flock_named_mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

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
        if (fd >= 0) {
            return fd;
        }
        if (errno != ENOENT) {
            // The file is there but not for us: a file elsewhere would not be the same mutex.
            return -1;
        }
        fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            // Readable by every user whatever the creator's umask, so all of them share it.
            ::fchmod(fd, 0666);
            return fd;
        }
        if (errno == EEXIST) {
            // Someone else created it between the two calls.
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            return fd;
        }
        // This directory cannot hold the file (missing, read-only, not writable): try the next.
    }
    return -1;
}

namespace {

// A blocking flock on a thread of its own, so that the thread that wants the lock can stop
// waiting. A wait that was given up closes its descriptor when the lock finally comes, which
// hands the lock straight on.
struct PendingFlock {
    explicit PendingFlock(int descriptor) : fd(descriptor) {}

    const int fd;
    std::mutex mutex;
    std::condition_variable_any taken;
    bool done = false;
    bool locked = false;
    bool abandoned = false;
};

void WaitForFlock(const std::shared_ptr<PendingFlock>& pending) {
    int result = 0;
    do {
        result = ::flock(pending->fd, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    std::lock_guard lock(pending->mutex);
    if (pending->abandoned) {
        ::close(pending->fd);
        return;
    }
    pending->done = true;
    pending->locked = result == 0;
    pending->taken.notify_all();
}

}  // namespace

NamedSystemMutex::Outcome FlockNamedMutex::Lock(std::stop_token stop) {
    const int fd = OpenLockFile();
    if (fd < 0) {
        return Outcome::Unavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        fd_ = fd;
        return Outcome::Locked;
    }
    if (errno != EWOULDBLOCK) {
        ::close(fd);
        return Outcome::Unavailable;
    }
    // Another process holds it: wait on the OS object from a thread that can be left behind.
    auto pending = std::make_shared<PendingFlock>(fd);
    try {
        std::thread(WaitForFlock, pending).detach();
    } catch (const std::system_error&) {
        // No thread to spare: wait here, without being able to stop early.
        WaitForFlock(pending);
    }
    std::unique_lock lock(pending->mutex);
    pending->taken.wait(lock, stop, [&] { return pending->done; });
    if (!pending->done) {
        pending->abandoned = true;
        return Outcome::Cancelled;
    }
    if (!pending->locked) {
        ::close(fd);
        return Outcome::Unavailable;
    }
    fd_ = fd;
    return Outcome::Locked;
}

void FlockNamedMutex::Unlock() {
    if (fd_ >= 0) {
        // Closing the last descriptor of the open file drops the lock.
        ::close(fd_);
        fd_ = -1;
    }
}

}  // namespace ulvren
