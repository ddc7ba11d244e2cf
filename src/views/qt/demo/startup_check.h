#pragma once

#include <QObject>
#include <QTimer>
#include <optional>
#include <ostream>

#include "views/qt/main_window_view.h"

namespace ulvren::views::qt {

// The demo's start-up check: once the window has been shown and the first detection has filled
// the capacity field, it prints how long after the process started the window first showed and
// what the field says, and closes the window. It passes when the recorder was found. Every message
// box is printed and closed; one that says more than that the window waits for another program
// (the device lock refused, no rights) ends the check, which then fails.
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
    std::ostream& out_;
    std::optional<long long> shown_after_ms_;
    QTimer deadline_;
    bool concluded_ = false;
    int& exit_code_;
};

}  // namespace ulvren::views::qt
