#include "views/win32/worker_messages.h"

#include <variant>

namespace ulvren::views::win32 {

void PostWorkerEvent(HWND window, const WorkerEvent& event) {
    if (const auto* status = std::get_if<StatusEvent>(&event)) {
        PostMessageA(window, WM_OPERATION_STATUS, 0, static_cast<LPARAM>(status->status));
        return;
    }
    if (const auto* group = std::get_if<ControlGroupEvent>(&event)) {
        PostMessageA(window, WM_CONTROL_GROUP, static_cast<WPARAM>(group->group),
                     group->enabled ? 1 : 0);
        return;
    }
    PostMessageA(window, WM_WORKER_NOTICE, static_cast<WPARAM>(std::get<NoticeEvent>(event).notice),
                 0);
}

}  // namespace ulvren::views::win32
