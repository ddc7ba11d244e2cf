#pragma once

#include <QApplication>
#include <functional>

#include "ui/main_window.h"
#include "views/qt/main_window_view.h"

namespace ulvren::views {

// The application: the Qt application in the dialog font, and the main window over the current
// host, run modally; the program ends when the window closes.
class CToolApp {
  public:
    CToolApp(int& argc, char** argv);

    // What connects the window's device-change notices (the disk monitor, the demo's devices)
    // and anything else that watches the window, before it runs.
    using Wiring = std::function<void(CToolDlg& logic, QtMainWindowView& window)>;

    // Runs the main window until it is closed.
    void Run(const Wiring& wire = {});

  private:
    QApplication application_;
};

}  // namespace ulvren::views
