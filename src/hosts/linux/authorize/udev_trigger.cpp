#include "hosts/linux/authorize/udev_trigger.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace ulvren::authorize {
namespace {

constexpr const char* kUdevadm = "/usr/bin/udevadm";

// Runs udevadm with `arguments` (after its own path), with no environment, and waits for it.
bool RunUdevadm(std::vector<std::string> arguments, std::string& error) {
    arguments.insert(arguments.begin(), kUdevadm);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    char* const environment[] = {nullptr};

    const pid_t child = ::fork();
    if (child < 0) {
        error =
            "cannot start " + std::string(kUdevadm) + ": " + std::generic_category().message(errno);
        return false;
    }
    if (child == 0) {
        ::execve(kUdevadm, argv.data(), environment);
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            error = "cannot wait for " + std::string(kUdevadm);
            return false;
        }
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = std::string(kUdevadm) + " " + arguments.at(1) + " failed (" +
                (WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                   : "ended by signal " + std::to_string(WTERMSIG(status))) +
                ")";
        return false;
    }
    return true;
}

}  // namespace

bool TriggerChange(const std::vector<std::string>& device_paths, std::string& error) {
    // udevd reads its rules directory again only now and then: it is told to, so that the change
    // events below meet the rules as they now stand.
    if (!RunUdevadm({"control", "--reload"}, error)) {
        return false;
    }
    std::vector<std::string> arguments = {"trigger", "--action=change", "--settle"};
    arguments.insert(arguments.end(), device_paths.begin(), device_paths.end());
    return RunUdevadm(std::move(arguments), error);
}

}  // namespace ulvren::authorize
