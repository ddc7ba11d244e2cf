#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ulvren::authorize {

// /etc/udev/rules.d, reached one component at a time from / without following a symbolic link,
// and only when every directory on the way is root's and writable by nobody else: the helper runs
// as root and must not be led to write or remove anywhere else. It holds an exclusive flock on the
// directory while it lives, so that two helpers never change the rules at once.
class RuleDirectory {
  public:
    // Nothing, with the reason in `error`, when the directory cannot be reached that way. A
    // missing rules.d is created (0755). `root` is "/" but for tests.
    static std::optional<RuleDirectory> Open(std::string& error, const std::string& root = "/");
    ~RuleDirectory();
    RuleDirectory(RuleDirectory&& other) noexcept;

    const std::string& Path() const { return path_; }
    RuleDirectory(const RuleDirectory&) = delete;
    RuleDirectory& operator=(const RuleDirectory&) = delete;
    RuleDirectory& operator=(RuleDirectory&&) = delete;

    // Puts `text` in place as `name` (mode 0644) through a temporary file in the same directory
    // (".<name>.<pid>.tmp") and a rename, so udev reads either the old file or the whole new one.
    bool Write(const std::string& name, const std::string& text, std::string& error);
    // Removes the recorder rules (IsRecorderRuleFileName) and returns their names; temporary files
    // that an earlier helper left behind when it was cut off go too.
    std::optional<std::vector<std::string>> RemoveRecorderRules(std::string& error);

  private:
    RuleDirectory(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    int fd_ = -1;
    std::string path_;
};

}  // namespace ulvren::authorize
