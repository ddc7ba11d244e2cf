#pragma once

#include <string>
#include <vector>

#include "host/named_system_mutex.h"

namespace ulvren {

// The named mutex on Linux: flock(LOCK_EX) on a lock file, named after the mutex, in the system
// lock directory. The file is opened for each wait and closed when the mutex is given back, so
// the kernel releases the lock of a holder that dies, and every copy of the tool on the machine
// (the window or the command line) that uses the same name shares it.
class FlockNamedMutex final : public NamedSystemMutex {
  public:
    // /run/lock, then /tmp for when the lock file cannot be created in /run/lock.
    static std::vector<std::string> DefaultLockDirectories();

    // The lock file of `name` in `directory`.
    static std::string LockFilePath(const std::string& directory, const std::string& name);

    // Each wait opens the lock file in the first of `directories` where that works.
    explicit FlockNamedMutex(std::string name,
                             std::vector<std::string> directories = DefaultLockDirectories());
    ~FlockNamedMutex() override;
    FlockNamedMutex(const FlockNamedMutex&) = delete;
    FlockNamedMutex& operator=(const FlockNamedMutex&) = delete;

    Outcome Lock(std::stop_token stop) override;
    void Unlock() override;

  private:
    // The lock file's descriptor, or -1 when none of the directories can hold it, or when it
    // exists but cannot be opened (another directory would not be shared with its users).
    int OpenLockFile() const;

    std::string name_;
    std::vector<std::string> directories_;
    int fd_ = -1;
};

}  // namespace ulvren
