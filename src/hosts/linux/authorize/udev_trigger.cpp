#include "hosts/linux/authorize/udev_trigger.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace ulvren::authorize {
namespace {

constexpr const char* kUdevadm = "/usr/bin/udevadm";

}  // namespace

bool TriggerChange(const std::vector<std::string>& device_paths, std::string& error) {
    std::vector<std::string> arguments = {kUdevadm, "trigger", "--action=change", "--settle"};
    arguments.insert(arguments.end(), device_paths.begin(), device_paths.end());
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
        error = std::string(kUdevadm) + " trigger failed (" +
                (WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                   : "ended by signal " + std::to_string(WTERMSIG(status))) +
                ")";
        return false;
    }
    return true;
}

}  // namespace ulvren::authorize
