#include "hosts/linux/authorize/helper_launcher.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <system_error>

#include "hosts/linux/authorize/set_clock_rule.h"

extern char** environ;

namespace ulvren::authorize {

int RunHelperThroughPkexec(HelperAction action, std::string& error) {
    constexpr const char* kPkexec = "/usr/bin/pkexec";
    std::string program = "pkexec";
    std::string helper = ULVREN_AUTHORIZE_HELPER;
    std::string argument = action == HelperAction::Revoke ? "revoke" : "authorize";
    std::string clock_on_plug(kClockOnPlugArgument);
    char* argv[] = {
        program.data(), helper.data(), argument.data(),
        action == HelperAction::AuthorizeWithClockOnPlug ? clock_on_plug.data() : nullptr, nullptr};
    // pkexec finds the session's authentication agent (or starts its own on the terminal) from
    // the caller's environment; it hands the helper none of it.
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, kPkexec, nullptr, nullptr, argv, environ);
    if (spawned != 0) {
        error =
            std::string("cannot run ") + kPkexec + ": " + std::generic_category().message(spawned);
        return -1;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            error = std::string("cannot wait for ") + kPkexec;
            return -1;
        }
    }
    if (!WIFEXITED(status)) {
        error = std::string(kPkexec) + " ended by signal " + std::to_string(WTERMSIG(status));
        return -1;
    }
    return WEXITSTATUS(status);
}

}  // namespace ulvren::authorize
