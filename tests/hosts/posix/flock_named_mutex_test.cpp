// The flock named mutex: its lock file, its use across processes, and a holder that dies.
#include "hosts/posix/flock_named_mutex.h"

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
#include <functional>
#include <future>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "host/host.h"
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

TEST(FlockNamedMutexTest, LocksAFileNamedAfterTheMutex) {
    TempDirectory dir;
    FlockNamedMutex mutex(kDeviceMutexName, dir.Path());
    const std::string lock_file = FlockNamedMutex::LockFilePath(dir.Path(), kDeviceMutexName);
    EXPECT_NE(lock_file.find("SCSI"), std::string::npos);

    ASSERT_EQ(mutex.Lock({}, {}), NamedSystemMutex::Outcome::Locked);
    EXPECT_TRUE(IsLockedByAnother(lock_file));
    mutex.Unlock();
    EXPECT_FALSE(IsLockedByAnother(lock_file));
    struct stat status {};
    ASSERT_EQ(::stat(lock_file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << "for this user alone";
}

// Root's lock lies where only root creates files; any other user's where only that user does.
TEST(FlockNamedMutexTest, EachUserLocksInADirectoryOfItsOwn) {
    struct Case {
        uid_t uid;
        const char* runtime_directory;
        const char* lock_directory;
    };
    for (const Case& c :
         {Case{0, "/run/user/0", "/run"}, Case{0, nullptr, "/run"},
          Case{1000, "/run/user/1000", "/run/user/1000"}, Case{1000, nullptr, "/tmp/ulvren-1000"},
          Case{1000, "relative/dir", "/tmp/ulvren-1000"}}) {
        EXPECT_EQ(FlockNamedMutex::LockDirectoryFor(c.uid, c.runtime_directory), c.lock_directory)
            << c.uid;
    }
}

constexpr uid_t kAnotherUser = 65534;  // nobody

// Whatever another user (or a mistake) left in the lock's place, the lock is never switched off:
// it is refused, with the reason, and the device mutex then keeps the device untouched.
TEST(FlockNamedMutexTest, WhatIsNotTheUsersOwnIsRefusedNotIgnored) {
    ASSERT_EQ(::geteuid(), 0u) << "needs root to plant another user's files; CI runs as root";
    struct Case {
        const char* name;
        std::function<void(const fs::path& lock_directory, const fs::path& lock_file)> plant;
        bool locked;
    };
    const auto chown_to_another = [](const fs::path& path) {
        ASSERT_EQ(::lchown(path.c_str(), kAnotherUser, kAnotherUser), 0) << path;
    };
    const Case cases[] = {
        {"nothing there", [](const fs::path&, const fs::path&) {}, true},
        {"the directory is missing", [](const fs::path& d, const fs::path&) { fs::remove(d); },
         true},
        {"another user's file, mode 600",
         [&](const fs::path&, const fs::path& f) {
             std::ofstream(f).put('x');
             fs::permissions(f, fs::perms::owner_read | fs::perms::owner_write);
             chown_to_another(f);
         },
         false},
        {"a dangling link",
         [](const fs::path& d, const fs::path& f) { fs::create_symlink(d / "nowhere", f); }, false},
        {"a directory", [](const fs::path&, const fs::path& f) { fs::create_directory(f); }, false},
        {"a named pipe",
         [](const fs::path&, const fs::path& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); },
         false},
        {"another user's directory",
         [&](const fs::path& d, const fs::path&) { chown_to_another(d); }, false},
        {"a directory others may write to",
         [](const fs::path& d, const fs::path&) { fs::permissions(d, fs::perms::all); }, false},
        {"the directory's parent is missing",
         [](const fs::path& d, const fs::path&) { fs::remove_all(d.parent_path()); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDirectory parent;
        const fs::path directory = fs::path(parent.Path()) / "locks";
        fs::create_directory(directory);
        fs::permissions(directory, fs::perms::owner_all);
        const fs::path lock_file = FlockNamedMutex::LockFilePath(directory, kDeviceMutexName);
        c.plant(directory, lock_file);

        QueuedDeviceMutex mutex(std::make_unique<FlockNamedMutex>(kDeviceMutexName, directory));
        ClearLastHostError();
        const DeviceMutex::Outcome outcome = mutex.Acquire({});
        if (c.locked) {
            EXPECT_EQ(outcome, DeviceMutex::Outcome::Held) << LastHostError().text;
            EXPECT_TRUE(IsLockedByAnother(lock_file));
            mutex.Release();
        } else {
            EXPECT_EQ(outcome, DeviceMutex::Outcome::Unavailable);
            EXPECT_NE(LastHostError().text.find(lock_file.string()), std::string::npos)
                << LastHostError().text;
        }
    }
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
            auto mutex = std::make_shared<QueuedDeviceMutex>(
                std::make_unique<FlockNamedMutex>(kDeviceMutexName, dir.Path()));
            const int out =
                ::open(journal.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
            const std::string pid_text = std::to_string(::getpid());
            const std::string enter = "enter " + pid_text + "\n";
            const std::string leave = "leave " + pid_text + "\n";
            bool ok = out >= 0;
            for (int round = 0; ok && round < kRounds; ++round) {
                ok = mutex->Acquire({}) == DeviceMutex::Outcome::Held;
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
        FlockNamedMutex mutex(kDeviceMutexName, directory);
        const char held = mutex.Lock({}, {}) == NamedSystemMutex::Outcome::Locked ? 'y' : 'n';
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

// A device mutex over the lock in `directory`.
std::shared_ptr<QueuedDeviceMutex> MutexIn(const std::string& directory) {
    return std::make_shared<QueuedDeviceMutex>(
        std::make_unique<FlockNamedMutex>(kDeviceMutexName, directory));
}

// A wait behind another process announced at once through `waiting`.
NamedSystemMutex::WaitNotice AnnounceAtOnce(std::promise<void>& waiting) {
    return {0ms, [&waiting] { waiting.set_value(); }};
}

// A holder that dies without giving the mutex back frees it, like an abandoned mutex; the waiter
// behind it was told, once, that it waits for another program.
TEST(FlockNamedMutexTest, HolderThatDiesReleasesIt) {
    TempDirectory dir;
    const pid_t pid = ForkHolder(dir.Path());
    ASSERT_GT(pid, 0);

    std::promise<void> waiting;
    auto mutex = MutexIn(dir.Path());
    std::atomic<bool> acquired{false};
    std::thread waiter([&] {
        acquired = mutex->Acquire({}, AnnounceAtOnce(waiting)) == DeviceMutex::Outcome::Held;
    });
    ASSERT_EQ(waiting.get_future().wait_for(30s), std::future_status::ready);
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

    std::promise<void> waiting;
    auto mutex = MutexIn(dir.Path());
    std::stop_source stop;
    std::thread waiter([&] {
        EXPECT_EQ(mutex->Acquire(stop.get_token(), AnnounceAtOnce(waiting)),
                  DeviceMutex::Outcome::Stopped);
    });
    ASSERT_EQ(waiting.get_future().wait_for(30s), std::future_status::ready);
    stop.request_stop();
    waiter.join();
    EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), 0) << "the holder should still be running";

    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    // The given-up wait takes the lock when the holder goes and hands it straight on.
    auto again = MutexIn(dir.Path());
    EXPECT_EQ(again->Acquire({}), DeviceMutex::Outcome::Held);
    again->Release();
}

}  // namespace
}  // namespace ulvren::testing
