#pragma once

#include <QObject>
#include <QTimer>
#include <optional>
#include <ostream>

#include "ui/demo_check.h"
#include "views/qt/main_window_view.h"

namespace ulvren::views::qt {

// The demo's start-up check (DemoCheck) on the Qt window: it measures the first paint, reads the
// capacity field after each worker event, closes every message box as it comes and closes the
// window when the check has ended.
class StartupCheck final : public QObject {
    Q_OBJECT

  public:
    // `exit_code` is 0 once the check has passed, 1 until then.
    StartupCheck(QtMainWindowView& window, const CToolDlg& logic, std::ostream& out,
                 int& exit_code);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Conclude();
    void OnMessageBox(const std::string& text);

    QtMainWindowView& window_;
    const CToolDlg& logic_;
    DemoCheck check_;
    bool shown_ = false;
    QTimer deadline_;
    int& exit_code_;
};

}  // namespace ulvren::views::qt
