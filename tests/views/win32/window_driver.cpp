#include "window_driver.h"

#include <chrono>

#include "text/utf_conversion.h"

namespace ulvren::testing {
namespace {

// A wait on an event, so the bound only ends a test that would hang; a cold Wine takes a while to
// show its first window.
constexpr auto kPatience = std::chrono::seconds(60);
// Posted to the window; the window's logic ignores it, the message hook counts it.
constexpr UINT kMarker = WM_APP + 7;

WindowDriver* active_driver = nullptr;

bool IsDialogWindow(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return std::string(name) == "#32770";
}

}  // namespace

WindowDriver::WindowDriver(std::function<void()> run) {
    active_driver = this;
    thread_ = std::thread([this, run = std::move(run)] {
        const DWORD thread = GetCurrentThreadId();
        const HHOOK activation =
            SetWindowsHookExA(WH_CBT, OnComputerBasedTraining, nullptr, thread);
        const HHOOK messages = SetWindowsHookExA(WH_GETMESSAGE, OnGetMessage, nullptr, thread);
        run();
        UnhookWindowsHookEx(messages);
        UnhookWindowsHookEx(activation);
        std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    });
}

WindowDriver::~WindowDriver() {
    thread_.join();
    active_driver = nullptr;
}

LRESULT CALLBACK WindowDriver::OnComputerBasedTraining(int code, WPARAM wparam, LPARAM lparam) {
    const auto window = reinterpret_cast<HWND>(wparam);
    if (code == HCBT_ACTIVATE && IsDialogWindow(window)) {
        std::lock_guard lock(active_driver->mutex_);
        auto& activated = active_driver->activated_;
        // A dialog becomes active again when the one over it closes: count it once.
        bool seen = false;
        for (const HWND earlier : activated) {
            seen = seen || earlier == window;
        }
        if (!seen) {
            activated.push_back(window);
            active_driver->changed_.notify_all();
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK WindowDriver::OnGetMessage(int code, WPARAM wparam, LPARAM lparam) {
    const auto* message = reinterpret_cast<const MSG*>(lparam);
    if (code == HC_ACTION && wparam == PM_REMOVE && message->message == kMarker) {
        std::lock_guard lock(active_driver->mutex_);
        active_driver->markers_seen_ = message->wParam;
        active_driver->changed_.notify_all();
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

HWND WindowDriver::NextDialog() {
    std::unique_lock lock(mutex_);
    // Windows that have been shown stay in the list; the next one is the first not taken yet.
    if (!changed_.wait_for(lock, kPatience, [&] { return activated_.size() > taken_; })) {
        return nullptr;
    }
    return activated_[taken_++];
}

std::size_t WindowDriver::DialogsShown() {
    std::lock_guard lock(mutex_);
    return activated_.size();
}

void WindowDriver::Flush(HWND window) {
    std::unique_lock lock(mutex_);
    const UINT_PTR marker = ++markers_posted_;
    PostMessageA(window, kMarker, marker, 0);
    changed_.wait_for(lock, kPatience, [&] { return markers_seen_ >= marker; });
}

bool WindowDriver::WaitUntilClosed() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPatience, [&] { return closed_; });
}

std::string WindowText(HWND window) {
    wchar_t text[512] = {};
    const int length = GetWindowTextW(window, text, 512);
    return Utf16ToUtf8(
        std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length)));
}

std::string ControlText(HWND dialog, int control) {
    return WindowText(GetDlgItem(dialog, control));
}

bool ControlEnabled(HWND dialog, int control) {
    return IsWindowEnabled(GetDlgItem(dialog, control)) != FALSE;
}

void Click(HWND dialog, int control) {
    PostMessageA(GetDlgItem(dialog, control), BM_CLICK, 0, 0);
}

void Type(HWND dialog, int control, const std::string& text) {
    for (const char c : text) {
        SendMessageA(GetDlgItem(dialog, control), WM_CHAR, static_cast<unsigned char>(c), 1);
    }
}

void Paste(HWND dialog, int control, const std::string& text) {
    const std::u16string wide = Utf8ToUtf16(text).value_or(u"");
    SendMessageW(GetDlgItem(dialog, control), EM_REPLACESEL, TRUE,
                 reinterpret_cast<LPARAM>(wide.c_str()));
}

int FocusedControl(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ||
        info.hwndFocus == nullptr) {
        return 0;
    }
    return GetDlgCtrlID(info.hwndFocus);
}

}  // namespace ulvren::testing
