#pragma once

#include <windows.h>

#include "ui/main_window.h"
#include "views/win32/main_window_view.h"

namespace ulvren::views::win32 {

// The application object: turns on the common controls' look, runs the main window (template
// 102) modally over `environment`, and ends when it ends.
class CToolApp {
  public:
    explicit CToolApp(HINSTANCE instance) : instance_(instance) {}

    // Returns the program's exit code. `observer`, when given, is told of the main window.
    int Run(CToolDlg::Environment environment, MainWindowObserver* observer = nullptr);

  private:
    HINSTANCE instance_;
};

}  // namespace ulvren::views::win32
