#pragma once

#include <string>

namespace ulvren::authorize {

// What the caller asks of the helper.
enum class HelperAction { Authorize, Revoke, AuthorizeWithClockOnPlug };

// Runs the installed ulvren-authorize through pkexec (which asks for the administrator's approval
// as the polkit action org.ulvren.tool.authorize says) and waits for it. Its output goes where the
// caller's goes. The helper's exit status (see exit_status.h; pkexec's own 126 and 127), or -1
// with the reason in `error` when pkexec could not be started.
int RunHelperThroughPkexec(HelperAction action, std::string& error);

}  // namespace ulvren::authorize
