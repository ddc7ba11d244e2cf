#pragma once

#include <QApplication>
#include <functional>

#include "host/device_change.h"
#include "ui/main_window.h"
#include "views/qt/main_window_view.h"

namespace ulvren::views::qt {

// The application: the Qt application in the language's font, and the main window over the
// current host, run modally; the program ends when the window closes.
class CToolApp {
  public:
    CToolApp(int& argc, char** argv);

    // What connects anything else that watches the window (the demo's start-up check), before
    // it runs.
    using Wiring = std::function<void(CToolDlg& logic, QtMainWindowView& window)>;

    // Runs the main window until it is closed; every change that `device_changes` announces
    // starts a detection.
    void Run(DeviceChangeSource& device_changes, const Wiring& wire = {});

  private:
    QApplication application_;
};

}  // namespace ulvren::views::qt
