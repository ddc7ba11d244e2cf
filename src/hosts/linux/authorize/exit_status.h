#pragma once

namespace ulvren::authorize {

// ulvren-authorize's exit statuses, one per outcome. pkexec itself ends with 126 when the
// administrator's approval was refused and 127 when it could not run the helper.
enum ExitStatus : int {
    kDone = 0,              // the rules were written (removed) and udev applied them
    kNoRecorder = 1,        // no USB disk answered as the recorder; nothing was written
    kUsage = 2,             // an argument other than exactly "authorize" or "revoke"
    kNotRoot = 3,           // not run as root (through pkexec)
    kRulesNotChanged = 4,   // the rules directory could not be reached, written or cleaned
    kUdevNotTold = 5,       // the rules are in place, but udev did not apply them: replug
    kAccessNotAsRuled = 6,  // udev applied the rules, but the nodes' access does not follow them
};

}  // namespace ulvren::authorize
