#pragma once

#include <QDialog>
#include <QTimer>

#include "ui/dialog_view.h"
#include "ui/main_window.h"
#include "views/qt/dialog_controls.h"
#include "views/qt/end_request_hold.h"
#include "views/qt/input_free_pause.h"

namespace ulvren::views::qt {

// The main window: template 102's controls on a dialog of their own, the disk-type list's two
// items, the once-a-second timer, the message boxes, the pause and the password dialogs. Every
// event goes to the window's logic, which decides everything.
class QtMainWindowView final : public QDialog, public DialogControls, public MainWindowView {
    Q_OBJECT

  public:
    QtMainWindowView();

    // The logic that the window's events go to, until it detaches.
    void Attach(CToolDlg& logic);
    void Detach();

    // Initialises the window, runs it modally until it is closed, then cleans up.
    void Run();

    // MainWindowView; its DialogView part is the DialogControls'.
    void SetChecked(int control, bool checked) override;
    bool Checked(int control) const override;
    void SetDateTime(int control, const LocalDateTime& value) override;
    std::optional<LocalDateTime> DateTime(int control) const override;
    void SetListSelection(int control, int index) override;
    int ListSelection(int control) const override;
    bool HasRecorderList() const override { return true; }
    void ShowRecorderList(const std::vector<std::string>& items, int selected) override;
    // The list's items while it shows (more than one recorder), else nothing.
    std::vector<std::string> RecorderItems() const;
    void SetFocus(int control) override;
    void SetIcon(int resource_id) override;
    void StartTimer(std::chrono::milliseconds period) override;
    void StopTimer() override;
    void ShowMessageBox(std::string_view text) override;
    void Pause(std::chrono::milliseconds duration) override;
    void ShowFormatRunning(bool running) override;
    DialogResult RunModalDialog(int template_id, DialogLogic& logic) override;
    void NotifyWorkerEvent(const WorkerEvent& event) override;

  signals:
    // The logic has handled a worker event: the controls show its outcome.
    void workerEventHandled();
    // A message box is about to show `text` (UTF-8).
    void messageShown(const std::string& text);

  protected:
    // Enter on a control that is not a push button ends the window, as a dialog's OK does.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ConnectCommands();
    // The recorder list and its label, in a row of their own above the two groups.
    void AddRecorderRow();

    QTimer timer_{this};
    InputFreePause pause_{this};
    EndRequestHold end_requests_{*this};
    CToolDlg* logic_ = nullptr;
};

}  // namespace ulvren::views::qt
