#include "host/authorization.h"

namespace ulvren::platform {

// Windows gives the recorder to the tool run as administrator: there is nothing to authorize.
AuthorizationOutcome RequestAuthorization(AuthorizationAction, std::string&) {
    return AuthorizationOutcome::NotNeeded;
}

}  // namespace ulvren::platform
