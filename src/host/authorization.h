#pragma once

#include <string>

namespace ulvren::platform {

// Letting this computer's seated users use the recorder: what the user asks for. With the clock
// on plug-in, the system also sets the recorder's clock each time it is plugged in (Linux).
enum class AuthorizationAction { Authorize, Revoke, AuthorizeWithClockOnPlug };

// How asking an administrator for it ended.
enum class AuthorizationOutcome {
    Done,         // the approval was given and the system now hands the recorder to the seat
    NoRecorder,   // no disk answered as the recorder: nothing was changed
    NotApproved,  // the administrator's approval was refused or not given
    Failed,       // it could not be done; `error` says why, when the helper did not say it
    NotNeeded,    // the platform gives the recorder to whoever may run the tool
};

// Asks for it and waits for the answer. The privileged part says what it does on the standard
// error stream.
AuthorizationOutcome RequestAuthorization(AuthorizationAction action, std::string& error);

}  // namespace ulvren::platform
