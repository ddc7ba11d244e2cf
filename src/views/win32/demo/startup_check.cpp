#include "views/win32/demo/startup_check.h"

#include <string>

#include "ui/control_ids.h"
#include "ui/system_language.h"
#include "views/win32/ansi_text.h"

namespace ulvren::views::win32 {
namespace {

StartupCheck* active_check = nullptr;

long long Milliseconds(const FILETIME& time) {
    return static_cast<long long>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                                  time.dwLowDateTime) /
           10'000;
}

// How long ago the system created this process, in milliseconds: what start-up costs, the
// loading of the program included; -1 when that is unknown.
long long ProcessAgeMs() {
    FILETIME created{};
    FILETIME ended{};
    FILETIME kernel{};
    FILETIME user{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) {
        return -1;
    }
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return Milliseconds(now) - Milliseconds(created);
}

struct BoxSearch {
    HWND owner;
    HWND box = nullptr;
};

// A message box that `owner` owns on this thread.
BOOL CALLBACK FindBox(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<BoxSearch*>(data);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (GetWindow(window, GW_OWNER) == search->owner && std::wstring(name) == L"#32770") {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

StartupCheck::StartupCheck(std::ostream& out) : check_("UlvrenToolDemo", out) {
    active_check = this;
}

StartupCheck::~StartupCheck() {
    active_check = nullptr;
}

void StartupCheck::OnCreated(HWND window) {
    window_ = window;
    deadline_ =
        SetTimer(nullptr, 0, static_cast<UINT>(DemoCheck::kDeadline.count() * 1000), OnDeadline);
}

void StartupCheck::OnFirstPaint() {
    check_.Shown(ProcessAgeMs());
    // Not from inside the paint: the window may end.
    SetTimer(nullptr, 0, 0, OnConcludeTimer);
}

void StartupCheck::OnWorkerEventHandled() {
    Conclude();
}

void StartupCheck::OnMessageBox(std::string_view text) {
    if (const std::optional<int> ended = check_.BoxShown(text, SystemUiLanguage())) {
        exit_code_ = *ended;
        end_after_box_ = true;
    }
    // The box is about to run: it is closed from inside its own loop.
    SetTimer(nullptr, 0, 0, OnBoxTimer);
}

void StartupCheck::Conclude() {
    wchar_t capacity[256] = {};
    GetDlgItemTextW(window_, CONTROL_CAPACITY_FIELD, capacity, 256);
    const std::string text = WideToUtf8(capacity);
    if (const std::optional<int> code = check_.Conclude(text)) {
        End(*code);
    }
}

void StartupCheck::End(int exit_code) {
    exit_code_ = exit_code;
    KillTimer(nullptr, deadline_);
    EndDialog(window_, exit_code == 0 ? IDOK : IDCANCEL);
}

void CALLBACK StartupCheck::OnConcludeTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (active_check != nullptr) {
        active_check->Conclude();
    }
}

void CALLBACK StartupCheck::OnBoxTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    if (active_check == nullptr) {
        KillTimer(nullptr, timer);
        return;
    }
    BoxSearch search{active_check->window_};
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&search));
    // Until the box is up, the timer comes again.
    if (search.box == nullptr) {
        return;
    }
    KillTimer(nullptr, timer);
    PostMessageW(search.box, WM_COMMAND, IDOK, 0);
    if (active_check->end_after_box_) {
        active_check->End(active_check->exit_code_);
    }
}

void CALLBACK StartupCheck::OnDeadline(HWND, UINT, UINT_PTR, DWORD) {
    if (active_check != nullptr) {
        active_check->End(active_check->check_.Deadline());
    }
}

}  // namespace ulvren::views::win32
