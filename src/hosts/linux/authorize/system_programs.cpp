#include "hosts/linux/authorize/system_programs.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace ulvren::authorize {
namespace {

constexpr const char* kUdevadm = "/usr/bin/udevadm";

// Runs `program` with `arguments` (after its own path), with no environment, and waits for it.
bool Run(const std::string& program, std::vector<std::string> arguments, std::string& error) {
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    char* const environment[] = {nullptr};

    const pid_t child = ::fork();
    if (child < 0) {
        error = "cannot start " + program + ": " + std::generic_category().message(errno);
        return false;
    }
    if (child == 0) {
        ::execve(program.c_str(), argv.data(), environment);
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            error = "cannot wait for " + program;
            return false;
        }
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = program + " " + arguments.at(1) + " failed (" +
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
    if (!Run(kUdevadm, {"control", "--reload"}, error)) {
        return false;
    }
    std::vector<std::string> arguments = {"trigger", "--action=change", "--settle"};
    arguments.insert(arguments.end(), device_paths.begin(), device_paths.end());
    return Run(kUdevadm, std::move(arguments), error);
}

bool LoadScsiGenericDriver(std::string& error, const std::string& sysfs_root) {
    struct stat status {};
    if (::stat((sysfs_root + "/module/sg").c_str(), &status) == 0) {
        return true;
    }
    for (const char* modprobe : {"/usr/sbin/modprobe", "/sbin/modprobe"}) {
        if (::access(modprobe, X_OK) == 0) {
            return Run(modprobe, {"sg"}, error);
        }
    }
    error = "cannot load the SCSI generic driver: no modprobe";
    return false;
}

}  // namespace ulvren::authorize
