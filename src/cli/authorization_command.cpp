#include "cli/authorization_command.h"

#include "cli/commands.h"
#include "host/authorization.h"
#include "text/text_ids.h"

namespace ulvren::cli {

std::optional<int> RunAuthorizationCommand(const std::vector<std::string>& arguments,
                                           const Messages& messages) {
    const auto& [authorize, deauthorize] = kAuthorizationCommands;
    const bool clock_on_plug =
        arguments.size() == 2 && arguments[0] == authorize.name && arguments[1] == authorize.option;
    if (!clock_on_plug && (arguments.size() != 1 ||
                           (arguments[0] != authorize.name && arguments[0] != deauthorize.name))) {
        return std::nullopt;
    }
    const auto action = clock_on_plug ? platform::AuthorizationAction::AuthorizeWithClockOnPlug
                        : arguments[0] == authorize.name ? platform::AuthorizationAction::Authorize
                                                         : platform::AuthorizationAction::Revoke;
    std::string error;
    switch (platform::RequestAuthorization(action, error)) {
        case platform::AuthorizationOutcome::Done:
            return kExitOk;
        case platform::AuthorizationOutcome::NoRecorder:
            // The helper said so.
            return kExitDeviceSaidNo;
        case platform::AuthorizationOutcome::NotApproved:
            messages.Say(TEXT_CLI_APPROVAL_NOT_GIVEN);
            return kExitCannotRun;
        case platform::AuthorizationOutcome::NotNeeded:
            messages.Say(TEXT_CLI_AUTHORIZATION_NOT_NEEDED);
            return kExitOk;
        case platform::AuthorizationOutcome::Failed:
            if (!error.empty()) {
                messages.SayAsIs(error);
            }
            return kExitCannotRun;
    }
    return kExitCannotRun;
}

}  // namespace ulvren::cli
