#pragma once

#include <windows.h>

#include "operations/worker_events.h"

namespace ulvren::views::win32 {

// The window message of a worker's status: the code is the lParam, wParam is 0.
inline constexpr UINT WM_OPERATION_STATUS = WM_USER + 100;
static_assert(WM_OPERATION_STATUS == 0x464);
// Detection enabling or disabling a control group: wParam the group, lParam whether enabled.
inline constexpr UINT WM_CONTROL_GROUP = WM_USER + 101;
// A worker's notice (WorkerNotice) as wParam: a wait for another program, a format's end.
inline constexpr UINT WM_WORKER_NOTICE = WM_USER + 102;

// Posts `event` to `window` (PostMessageA); never waits.
void PostWorkerEvent(HWND window, const WorkerEvent& event);

}  // namespace ulvren::views::win32
