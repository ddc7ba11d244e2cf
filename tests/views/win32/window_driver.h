#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace ulvren::testing {

// Runs a modal window on a user-interface thread of its own and drives it from the test's thread
// with messages, as a user's clicks and keys would. Hooks on the window's thread tell the driver
// when a dialog window (a message box, a password dialog) becomes active and when the window's
// thread has handled everything posted before a marker; no wait here is a timer.
class WindowDriver {
  public:
    // `run` runs the window modally on the new thread and returns when it has closed.
    explicit WindowDriver(std::function<void()> run);
    ~WindowDriver();
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    // The next dialog window that became active on the window's thread, oldest first; the first
    // is the main window. Null when none came within ten seconds.
    HWND NextDialog();
    // How many dialog windows have become active so far, taken or not.
    std::size_t DialogsShown();
    // Returns once the window's thread has taken every message that was posted to `window`
    // before this call.
    void Flush(HWND window);
    // Waits for the window's thread to end; false when it did not within ten seconds.
    bool WaitUntilClosed();

  private:
    static LRESULT CALLBACK OnComputerBasedTraining(int code, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK OnGetMessage(int code, WPARAM wparam, LPARAM lparam);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<HWND> activated_;
    std::size_t taken_ = 0;
    UINT_PTR markers_seen_ = 0;
    UINT_PTR markers_posted_ = 0;
    bool closed_ = false;
    std::thread thread_;
};

// A control's text as UTF-8, read through the window's own thread (WM_GETTEXT).
std::string ControlText(HWND dialog, int control);
std::string WindowText(HWND window);
bool ControlEnabled(HWND dialog, int control);
// A click on a button: BM_CLICK, posted, so that what the click opens does not hold the driver.
void Click(HWND dialog, int control);
// Types `text` into an edit, one WM_CHAR per character.
void Type(HWND dialog, int control, const std::string& text);
// Puts UTF-8 `text` into an edit at its caret as a paste does (EM_REPLACESEL, as UTF-16).
void Paste(HWND dialog, int control, const std::string& text);
// The control that has the keyboard focus on `window`'s thread: its id, or 0 for none.
int FocusedControl(HWND window);

}  // namespace ulvren::testing
