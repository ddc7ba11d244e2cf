#include "operations/starters.h"

#include "operations/workers.h"

namespace ulvren {

void StartDetect(OperationRunner& runner) {
    runner.Start(DetectWorker);
}

void StartDetectEvery(OperationRunner& runner) {
    runner.Start(DetectEveryWorker);
}

bool StartFormat(OperationRunner& runner) {
    return runner.Start(FormatWorker);
}

void StartSetClock(OperationRunner& runner) {
    runner.Start(SetClockWorker);
}

void StartLogin(OperationRunner& runner) {
    runner.Start(LoginWorker);
}

bool StartChangePassword(OperationRunner& runner) {
    const WindowMembers& members = runner.Window().members;
    if (members.new_password.Get() != members.confirm_password.Get()) {
        return false;
    }
    runner.Start(ChangePasswordWorker);
    return true;
}

}  // namespace ulvren
