#include "hosts/linux/authorize/rule_directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "hosts/linux/authorize/udev_rule.h"

namespace ulvren::authorize {
namespace {

constexpr mode_t kRuleMode = 0644;
constexpr mode_t kDirectoryMode = 0755;

bool Failure(std::string& error, const std::string& what, int number) {
    error = what + ": " + std::generic_category().message(number);
    return false;
}

// Opens `name` below `parent` as a directory, never through a link; creates it when `create`.
int OpenDirectoryAt(int parent, const std::string& name, bool create) {
    int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && create) {
        if (::mkdirat(parent, name.c_str(), kDirectoryMode) != 0 && errno != EEXIST) {
            return -1;
        }
        fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    }
    return fd;
}

bool OwnedByRootAlone(int fd) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && status.st_uid == 0 && (status.st_mode & 022) == 0;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t result = ::write(fd, text.data() + written, text.size() - written);
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(result);
    }
    return true;
}

}  // namespace

std::optional<RuleDirectory> RuleDirectory::Open(std::string& error, const std::string& root) {
    std::string path = root;
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    // Each directory on the way is checked before anything below it is opened.
    const auto usable = [&] {
        if (fd >= 0 && OwnedByRootAlone(fd)) {
            return true;
        }
        const int number = fd < 0 ? errno : EPERM;
        if (fd >= 0) {
            ::close(fd);
        }
        return Failure(error, "cannot use " + path, number);
    };
    for (const std::string component : {"etc", "udev", "rules.d"}) {
        if (!usable()) {
            return std::nullopt;
        }
        const int next = OpenDirectoryAt(fd, component, component == "rules.d");
        const int number = errno;
        ::close(fd);
        fd = next;
        errno = number;
        path += (path.ends_with('/') ? "" : "/") + component;
    }
    if (!usable()) {
        return std::nullopt;
    }
    // One helper at a time changes the rules: a second one waits here until the first is done.
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            const int number = errno;
            ::close(fd);
            Failure(error, "cannot lock " + path, number);
            return std::nullopt;
        }
    }
    return RuleDirectory(fd, path);
}

RuleDirectory::~RuleDirectory() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

RuleDirectory::RuleDirectory(RuleDirectory&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)) {
    other.fd_ = -1;
}

bool RuleDirectory::Write(const std::string& name, const std::string& text, std::string& error) {
    // Named after this process as well: nothing else writes it while the directory is locked.
    const std::string temporary = "." + name + "." + std::to_string(::getpid()) + ".tmp";
    const std::string target = path_ + "/" + name;
    // A leftover of an earlier run that was cut off: never written through, only removed.
    ::unlinkat(fd_, temporary.c_str(), 0);
    const int file = ::openat(fd_, temporary.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kRuleMode);
    if (file < 0) {
        return Failure(error, "cannot create a file in " + path_, errno);
    }
    const bool written =
        ::fchmod(file, kRuleMode) == 0 && WriteAll(file, text) && ::fsync(file) == 0;
    const int number = errno;
    const bool closed = ::close(file) == 0;
    if (!written || !closed || ::renameat(fd_, temporary.c_str(), fd_, name.c_str()) != 0) {
        const int cause = written && closed ? errno : number;
        ::unlinkat(fd_, temporary.c_str(), 0);
        return Failure(error, "cannot write " + target, cause);
    }
    ::fsync(fd_);
    return true;
}

std::optional<std::vector<std::string>> RuleDirectory::RemoveRecorderRules(std::string& error) {
    const int listing = ::dup(fd_);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (dir == nullptr) {
        Failure(error, "cannot list " + path_, errno);
        if (listing >= 0) {
            ::close(listing);
        }
        return std::nullopt;
    }
    ::rewinddir(dir);
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (IsRecorderRuleFileName(name) ||
            (name.starts_with("." + std::string(kRuleFilePrefix)) && name.ends_with(".tmp"))) {
            names.emplace_back(name);
        }
    }
    ::closedir(dir);
    std::vector<std::string> removed;
    for (const std::string& name : names) {
        // unlinkat removes a link itself, never what it points to.
        if (::unlinkat(fd_, name.c_str(), 0) != 0) {
            Failure(error, "cannot remove " + path_ + "/" + name, errno);
            return std::nullopt;
        }
        if (!name.starts_with('.')) {
            removed.push_back(name);
        }
    }
    ::fsync(fd_);
    return removed;
}

}  // namespace ulvren::authorize
