// The seam's RequestAuthorization on Linux: the helper, through pkexec.
#include "host/authorization.h"
#include "hosts/linux/authorize/exit_status.h"
#include "hosts/linux/authorize/helper_launcher.h"

namespace ulvren::platform {
namespace {

// pkexec's own statuses: the approval was refused or dismissed, or pkexec could not go on.
constexpr int kPkexecNotAuthorized = 126;
constexpr int kPkexecFailed = 127;

}  // namespace

AuthorizationOutcome RequestAuthorization(AuthorizationAction action, std::string& error) {
    const authorize::HelperAction helper_action =
        action == AuthorizationAction::Revoke ? authorize::HelperAction::Revoke
        : action == AuthorizationAction::AuthorizeWithClockOnPlug
            ? authorize::HelperAction::AuthorizeWithClockOnPlug
            : authorize::HelperAction::Authorize;
    const int status = authorize::RunHelperThroughPkexec(helper_action, error);
    switch (status) {
        case authorize::kDone:
            return AuthorizationOutcome::Done;
        case authorize::kNoRecorder:
            return AuthorizationOutcome::NoRecorder;
        case kPkexecNotAuthorized:
        case kPkexecFailed:
            return AuthorizationOutcome::NotApproved;
        default:
            // -1 leaves its reason in `error`; the helper said what went wrong otherwise.
            return AuthorizationOutcome::Failed;
    }
}

}  // namespace ulvren::platform
