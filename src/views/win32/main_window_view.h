#pragma once

#include <windows.h>

#include <atomic>
#include <string_view>

#include "ui/main_window.h"
#include "views/win32/dialog_controls.h"

namespace ulvren::views::win32 {

// What a program around the main window is told of it, on the window's thread (the demo's device
// window and its start-up check).
class MainWindowObserver {
  public:
    virtual ~MainWindowObserver() = default;
    // The window has been created and initialised; it shows next.
    virtual void OnCreated(HWND /*window*/) {}
    // The window paints for the first time.
    virtual void OnFirstPaint() {}
    // The window has handled a worker event.
    virtual void OnWorkerEventHandled() {}
    // A message box with `text` (UTF-8) is about to run modally on the window's thread.
    virtual void OnMessageBox(std::string_view /*text*/) {}
};

// The main window's view: dialog template 102, a narrow modal dialog with no parent, whose
// events go to the window's logic (CToolDlg). Worker events come back to the window's thread as
// posted messages (WM_OPERATION_STATUS, WM_CONTROL_GROUP, WM_WORKER_NOTICE), each handled by one
// OnWorkerEvent.
class MainWindowDialog final : public DialogControls, public MainWindowView {
  public:
    explicit MainWindowDialog(HINSTANCE instance) : instance_(instance) {}
    MainWindowDialog(const MainWindowDialog&) = delete;
    MainWindowDialog& operator=(const MainWindowDialog&) = delete;

    // Runs the window modally (DialogBoxParamA) with `logic` handling its events; returns how it
    // ended (IDOK, IDCANCEL) when it has closed.
    INT_PTR Run(CToolDlg& logic);
    // From now on `observer` (none when null) is told of the window.
    void Observe(MainWindowObserver* observer) { observer_ = observer; }

    // MainWindowView; its DialogView part is the DialogControls'.
    void SetChecked(int control, bool checked) override;
    bool Checked(int control) const override;
    void SetDateTime(int control, const LocalDateTime& value) override;
    std::optional<LocalDateTime> DateTime(int control) const override;
    void SetListSelection(int control, int index) override;
    int ListSelection(int control) const override;
    void SetFocus(int control) override;
    void SetIcon(int resource_id) override;
    void StartTimer(std::chrono::milliseconds period) override;
    void StopTimer() override;
    void ShowMessageBox(std::string_view text) override;
    void Pause(std::chrono::milliseconds duration) override;
    void ShowFormatRunning(bool running) override;
    DialogResult RunModalDialog(int template_id, DialogLogic& logic) override;
    void NotifyWorkerEvent(const WorkerEvent& event) override;

  private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
    INT_PTR Handle(HWND dialog, UINT message, WPARAM wparam);
    // WM_PAINT while minimised: the icon centred in the client area.
    void PaintIcon(HWND dialog);

    HINSTANCE instance_;
    CToolDlg* logic_ = nullptr;
    // The window, for the workers' posts; null before it is created and once it is destroyed.
    std::atomic<HWND> window_{nullptr};
    HICON icon_ = nullptr;
    // While a format of the window's own runs, the cursor over it shows that it is busy.
    bool format_running_ = false;
    MainWindowObserver* observer_ = nullptr;
    bool painted_ = false;
};

}  // namespace ulvren::views::win32
