#include "cli/authorization_command.h"

#include "cli/commands.h"
#include "host/authorization.h"

namespace ulvren::cli {

std::optional<int> RunAuthorizationCommand(const std::vector<std::string>& arguments,
                                           std::ostream& err) {
    const auto& [authorize, deauthorize] = kAuthorizationCommands;
    if (arguments.size() != 1 ||
        (arguments[0] != authorize.name && arguments[0] != deauthorize.name)) {
        return std::nullopt;
    }
    const auto action = arguments[0] == authorize.name ? platform::AuthorizationAction::Authorize
                                                       : platform::AuthorizationAction::Revoke;
    std::string error;
    switch (platform::RequestAuthorization(action, error)) {
        case platform::AuthorizationOutcome::Done:
            return kExitOk;
        case platform::AuthorizationOutcome::NoRecorder:
            // The helper said so.
            return kExitDeviceSaidNo;
        case platform::AuthorizationOutcome::NotApproved:
            err << "ulvren: the administrator's approval was not given; nothing was changed\n";
            return kExitCannotRun;
        case platform::AuthorizationOutcome::NotNeeded:
            err << "ulvren: nothing to authorize here: run the tool as administrator\n";
            return kExitOk;
        case platform::AuthorizationOutcome::Failed:
            if (!error.empty()) {
                err << "ulvren: " << error << '\n';
            }
            return kExitCannotRun;
    }
    return kExitCannotRun;
}

}  // namespace ulvren::cli
