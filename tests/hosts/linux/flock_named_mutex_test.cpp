// The Linux named mutex: its lock file, its use across processes, and a holder that dies.
#include "hosts/linux/flock_named_mutex.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "operations/queued_device_mutex.h"

namespace ulvren::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// A fresh directory for lock files, removed afterwards.
class TempDirectory {
  public:
    TempDirectory() {
        std::string pattern = (fs::temp_directory_path() / "ulvren-mutex-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "cannot create a temporary directory";
        }
        path_ = pattern;
    }
    ~TempDirectory() { fs::remove_all(path_); }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

bool IsLockedByAnother(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool busy = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return busy;
}

TEST(FlockNamedMutexTest, LocksAFileNamedAfterTheMutexInTheFirstUsableDirectory) {
    TempDirectory dir;
    const std::string missing = dir.Path() + "/missing";
    FlockNamedMutex mutex(kDeviceMutexName, {missing, dir.Path()});
    const std::string lock_file = FlockNamedMutex::LockFilePath(dir.Path(), kDeviceMutexName);
    EXPECT_NE(lock_file.find("SCSI"), std::string::npos);

    ASSERT_EQ(mutex.Lock({}), NamedSystemMutex::Outcome::Locked);
    EXPECT_TRUE(IsLockedByAnother(lock_file));
    mutex.Unlock();
    EXPECT_FALSE(IsLockedByAnother(lock_file));
}

TEST(FlockNamedMutexTest, FailsWhenNoDirectoryCanHoldTheLockFile) {
    TempDirectory dir;
    FlockNamedMutex mutex(kDeviceMutexName, {dir.Path() + "/missing", dir.Path() + "/gone"});
    EXPECT_EQ(mutex.Lock({}), NamedSystemMutex::Outcome::Unavailable);
}

// Two processes, each entering and leaving its "session" many times under the device mutex,
// note every entry and exit in one shared file; the notes must alternate.
TEST(FlockNamedMutexTest, TwoProcessesNeverOverlapTheirSessions) {
    TempDirectory dir;
    const std::string journal = dir.Path() + "/journal";
    constexpr int kRounds = 25;

    std::vector<pid_t> children;
    for (int child = 0; child < 2; ++child) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            auto mutex = std::make_shared<QueuedDeviceMutex>(std::make_unique<FlockNamedMutex>(
                kDeviceMutexName, std::vector<std::string>{dir.Path()}));
            const int out =
                ::open(journal.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
            const std::string pid_text = std::to_string(::getpid());
            const std::string enter = "enter " + pid_text + "\n";
            const std::string leave = "leave " + pid_text + "\n";
            bool ok = out >= 0;
            for (int round = 0; ok && round < kRounds; ++round) {
                ok = mutex->Acquire({});
                ok = ok &&
                     ::write(out, enter.data(), enter.size()) == static_cast<ssize_t>(enter.size());
                ::usleep(1000);
                ok = ok &&
                     ::write(out, leave.data(), leave.size()) == static_cast<ssize_t>(leave.size());
                mutex->Release();
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    std::ifstream in(journal);
    std::string verb;
    std::string pid;
    std::string inside;
    int entries = 0;
    while (in >> verb >> pid) {
        if (verb == "enter") {
            EXPECT_EQ(inside, "") << "process " << pid << " entered while " << inside
                                  << " was inside";
            inside = pid;
            ++entries;
        } else {
            EXPECT_EQ(inside, pid);
            inside.clear();
        }
    }
    EXPECT_EQ(entries, 2 * kRounds);
}

// Forks a process that takes the mutex and holds it until it is killed. Its pid, or -1.
pid_t ForkHolder(const std::string& directory) {
    int pipe_fds[2];
    if (::pipe(pipe_fds) != 0) {
        return -1;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        FlockNamedMutex mutex(kDeviceMutexName, {directory});
        const char held = mutex.Lock({}) == NamedSystemMutex::Outcome::Locked ? 'y' : 'n';
        [[maybe_unused]] const auto written = ::write(pipe_fds[1], &held, 1);
        ::pause();  // until killed, still holding it
        ::_exit(0);
    }
    ::close(pipe_fds[1]);
    char held = 0;
    const bool holding = pid > 0 && ::read(pipe_fds[0], &held, 1) == 1 && held == 'y';
    ::close(pipe_fds[0]);
    if (!holding && pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return -1;
    }
    return pid;
}

// A holder that dies without giving the mutex back frees it, like an abandoned mutex.
TEST(FlockNamedMutexTest, HolderThatDiesReleasesIt) {
    TempDirectory dir;
    const pid_t pid = ForkHolder(dir.Path());
    ASSERT_GT(pid, 0);

    auto mutex = std::make_shared<QueuedDeviceMutex>(
        std::make_unique<FlockNamedMutex>(kDeviceMutexName, std::vector<std::string>{dir.Path()}));
    std::atomic<bool> acquired{false};
    std::thread waiter([&] { acquired = mutex->Acquire({}); });
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(acquired.load());

    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    waiter.join();
    EXPECT_TRUE(acquired.load());
    mutex->Release();
}

// Shutdown does not wait for another process: a wait on its lock ends when the stop is requested,
// while that process still holds it, and the lock is not left taken by the abandoned wait.
TEST(FlockNamedMutexTest, WaitBehindAnotherProcessEndsOnStop) {
    TempDirectory dir;
    const pid_t pid = ForkHolder(dir.Path());
    ASSERT_GT(pid, 0);

    auto mutex = std::make_shared<QueuedDeviceMutex>(
        std::make_unique<FlockNamedMutex>(kDeviceMutexName, std::vector<std::string>{dir.Path()}));
    std::stop_source stop;
    std::thread waiter([&] { EXPECT_FALSE(mutex->Acquire(stop.get_token())); });
    std::this_thread::sleep_for(100ms);
    stop.request_stop();
    waiter.join();
    EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), 0) << "the holder should still be running";

    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    // The given-up wait takes the lock when the holder goes and hands it straight on.
    EXPECT_TRUE(mutex->Acquire({}));
    mutex->Release();
}

// Every user of the machine can open the lock file, whatever umask its creator had.
TEST(FlockNamedMutexTest, LockFileIsSharedByEveryUser) {
    TempDirectory dir;
    const mode_t old_mask = ::umask(077);
    FlockNamedMutex mutex(kDeviceMutexName, {dir.Path()});
    ASSERT_EQ(mutex.Lock({}), NamedSystemMutex::Outcome::Locked);
    ::umask(old_mask);
    mutex.Unlock();
    struct stat status {};
    ASSERT_EQ(::stat(FlockNamedMutex::LockFilePath(dir.Path(), kDeviceMutexName).c_str(), &status),
              0);
    EXPECT_EQ(status.st_mode & 0777, 0666u);
}

}  // namespace
}  // namespace ulvren::testing
