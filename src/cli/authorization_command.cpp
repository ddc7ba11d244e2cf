#include "cli/authorization_command.h"

#include "cli/commands.h"
#include "hosts/linux/authorize/exit_status.h"
#include "hosts/linux/authorize/helper_launcher.h"

namespace ulvren::cli {
namespace {

// pkexec's own statuses: the approval was refused or dismissed, or pkexec could not go on.
constexpr int kPkexecNotAuthorized = 126;
constexpr int kPkexecFailed = 127;

}  // namespace

std::optional<int> RunAuthorizationCommand(const std::vector<std::string>& arguments,
                                           std::ostream& err) {
    if (arguments.size() != 1 || (arguments[0] != "authorize" && arguments[0] != "deauthorize")) {
        return std::nullopt;
    }
    const auto action = arguments[0] == "authorize" ? authorize::HelperAction::Authorize
                                                    : authorize::HelperAction::Revoke;
    std::string error;
    const int status = authorize::RunHelperThroughPkexec(action, error);
    switch (status) {
        case authorize::kDone:
            return kExitOk;
        case authorize::kNoRecorder:
            // The helper said so.
            return kExitDeviceSaidNo;
        case kPkexecNotAuthorized:
        case kPkexecFailed:
            err << "ulvren: the administrator's approval was not given; nothing was changed\n";
            return kExitCannotRun;
        case -1:
            err << "ulvren: " << error << '\n';
            return kExitCannotRun;
        default:
            // The helper said what went wrong.
            return kExitCannotRun;
    }
}

}  // namespace ulvren::cli
