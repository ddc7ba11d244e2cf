#pragma once

#include <windows.h>

#include <ostream>

#include "ui/demo_check.h"
#include "views/win32/main_window_view.h"

namespace ulvren::views::win32 {

// The demo's start-up check (DemoCheck) on the Win32 main window: it notes the first paint, reads
// the capacity field after each worker event, closes every message box once it runs, and ends the
// main window when the check has ended. One at a time.
class StartupCheck final : public MainWindowObserver {
  public:
    explicit StartupCheck(std::ostream& out);
    ~StartupCheck() override;
    StartupCheck(const StartupCheck&) = delete;
    StartupCheck& operator=(const StartupCheck&) = delete;

    // 0 once the check has passed, 1 until then.
    int ExitCode() const { return exit_code_; }

    // MainWindowObserver.
    void OnCreated(HWND window) override;
    void OnFirstPaint() override;
    void OnWorkerEventHandled() override;
    void OnMessageBox(std::string_view text) override;

  private:
    // Thread timers: their procedures run from whichever modal loop runs, a message box's too.
    static void CALLBACK OnConcludeTimer(HWND, UINT, UINT_PTR timer, DWORD);
    static void CALLBACK OnBoxTimer(HWND, UINT, UINT_PTR timer, DWORD);
    static void CALLBACK OnDeadline(HWND, UINT, UINT_PTR timer, DWORD);
    void Conclude();
    void End(int exit_code);

    DemoCheck check_;
    HWND window_ = nullptr;
    UINT_PTR deadline_ = 0;
    bool end_after_box_ = false;
    int exit_code_ = 1;
};

}  // namespace ulvren::views::win32
