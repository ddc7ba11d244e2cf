#pragma once

#include <sys/types.h>

#include <string>

#include "host/named_system_mutex.h"

namespace ulvren {

// The named mutex on POSIX systems: flock(LOCK_EX) on a lock file, named after the mutex, in a
// directory where only the effective user can create files. The file is opened for each wait and
// closed when the mutex is given back, so the kernel releases the lock of a holder that dies, and
// every copy of the tool run by the same user (the window or the command line) shares it.
//
// No other local user can switch it off or take it away: a lock file or directory that is not the
// user's own, a link in their place, or a directory that others may write to make the mutex
// Unavailable (with the reason), and the tool then leaves the device alone.
class FlockNamedMutex final : public NamedSystemMutex {
  public:
    // The lock directory of user `uid`: /run for root (only root creates files there); otherwise
    // `runtime_directory` ($XDG_RUNTIME_DIR) when it is an absolute path, else /tmp/ulvren-<uid>,
    // which the first wait creates (mode 0700).
    static std::string LockDirectoryFor(uid_t uid, const char* runtime_directory);
    // The lock directory of the effective user.
    static std::string DefaultLockDirectory();

    // The lock file of `name` in `directory`.
    static std::string LockFilePath(const std::string& directory, const std::string& name);

    explicit FlockNamedMutex(std::string name, std::string directory = DefaultLockDirectory());
    ~FlockNamedMutex() override;
    FlockNamedMutex(const FlockNamedMutex&) = delete;
    FlockNamedMutex& operator=(const FlockNamedMutex&) = delete;

    Outcome Lock(std::stop_token stop, const WaitNotice& notice) override;
    void Unlock() override;

  private:
    // The lock file's descriptor, or -1 with LastHostError() set when the directory or the file
    // is not this user's own.
    int OpenLockFile() const;

    std::string name_;
    std::string directory_;
    int fd_ = -1;
};

}  // namespace ulvren
