#pragma once

#include "operations/operation_runner.h"

namespace ulvren {

// What the window calls to start a worker. Before each call the window copies its controls into
// the members (for Set it also builds the clock string; for Login and Change password it first
// copies the dialog's passwords). None of them waits for the worker or disables a control, so a
// further press starts a further worker, which queues for the device mutex.

// At start-up and after every device arrival or removal.
void StartDetect(OperationRunner& runner);
// The same, for a window that lists every recorder and keeps the one chosen (DetectEveryWorker).
void StartDetectEvery(OperationRunner& runner);
// False when its worker could not be started.
bool StartFormat(OperationRunner& runner);
void StartSetClock(OperationRunner& runner);
void StartLogin(OperationRunner& runner);
// False, starting nothing, when the new password and its confirmation differ (the window then
// tells the user); the confirmation never goes to the device.
bool StartChangePassword(OperationRunner& runner);

}  // namespace ulvren
