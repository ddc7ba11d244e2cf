#include "hosts/posix/flock_named_mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "host/host.h"
#include "hosts/posix/errno_text.h"

namespace ulvren {

namespace {

// Every refusal names the lock file, so the user knows what to look at; the front ends say in
// the user's language that the lock was refused and the recorder left alone.
int RefuseLock(const std::string& path, const std::string& why) {
    SetLastHostError(HostErrorKind::Other, path + ": " + why);
    return -1;
}

// The directory must be a directory of the effective user's own that no one else may write to.
std::string ProblemWithLockDirectory(const std::string& directory) {
    struct stat status {};
    if (::lstat(directory.c_str(), &status) != 0) {
        int error = errno;
        if (error != ENOENT) {
            return ErrnoText(directory, error);
        }
        // The first wait of this user makes it, for this user alone.
        if (::mkdir(directory.c_str(), 0700) != 0 && (error = errno) != EEXIST) {
            return ErrnoText("cannot create " + directory, error);
        }
        if (::lstat(directory.c_str(), &status) != 0) {
            error = errno;
            return ErrnoText(directory, error);
        }
    }
    if (!S_ISDIR(status.st_mode)) {
        return directory + " is not a directory";
    }
    if (status.st_uid != ::geteuid()) {
        return directory + " belongs to another user";
    }
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return directory + " may be written by other users";
    }
    return {};
}

}  // namespace

std::string FlockNamedMutex::LockDirectoryFor(uid_t uid, const char* runtime_directory) {
    if (uid == 0) {
        return "/run";
    }
    if (runtime_directory != nullptr && runtime_directory[0] == '/') {
        return runtime_directory;
    }
    return "/tmp/ulvren-" + std::to_string(uid);
}

std::string FlockNamedMutex::DefaultLockDirectory() {
    return LockDirectoryFor(::geteuid(), std::getenv("XDG_RUNTIME_DIR"));
}

std::string FlockNamedMutex::LockFilePath(const std::string& directory, const std::string& name) {
    return directory + "/ulvren-" + name + ".lock";
}

FlockNamedMutex::FlockNamedMutex(std::string name, std::string directory)
    : name_(std::move(name)), directory_(std::move(directory)) {}

FlockNamedMutex::~FlockNamedMutex() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

int FlockNamedMutex::OpenLockFile() const {
    const std::string path = LockFilePath(directory_, name_);
    if (const std::string problem = ProblemWithLockDirectory(directory_); !problem.empty()) {
        return RefuseLock(path, problem);
    }
    // O_NOFOLLOW: a link in the file's place is refused, never followed.
    const int fd =
        ::open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        const int error = errno;
        return RefuseLock(path, ErrnoText("cannot open it", error));
    }
    struct stat status {};
    std::string problem;
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        problem = ErrnoText("cannot read its status", error);
    } else if (!S_ISREG(status.st_mode)) {
        problem = "it is not a regular file";
    } else if (status.st_uid != ::geteuid()) {
        problem = "it belongs to another user";
    }
    if (!problem.empty()) {
        ::close(fd);
        return RefuseLock(path, problem);
    }
    return fd;
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

NamedSystemMutex::Outcome FlockNamedMutex::Lock(std::stop_token stop, const WaitNotice& notice) {
    const int fd = OpenLockFile();
    if (fd < 0) {
        return Outcome::Unavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        fd_ = fd;
        return Outcome::Locked;
    }
    if (errno != EWOULDBLOCK) {
        const int error = errno;
        ::close(fd);
        RefuseLock(LockFilePath(directory_, name_), ErrnoText("cannot lock it", error));
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
    const auto taken = [&] { return pending->done; };
    if (notice.notify && !pending->taken.wait_for(lock, stop, notice.after, taken) &&
        !stop.stop_requested()) {
        lock.unlock();
        notice.notify();
        lock.lock();
    }
    pending->taken.wait(lock, stop, taken);
    if (!pending->done) {
        pending->abandoned = true;
        return Outcome::Cancelled;
    }
    if (!pending->locked) {
        ::close(fd);
        RefuseLock(LockFilePath(directory_, name_), "the wait for it failed");
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
