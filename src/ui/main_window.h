#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "host/clock.h"
#include "host/device_change.h"
#include "operations/device_mutex.h"
#include "operations/operation_runner.h"
#include "operations/shared_window_state.h"
#include "operations/worker_events.h"
#include "text/ui_language.h"
#include "ui/dialog_view.h"

namespace ulvren {

// The main window's logic, free of any toolkit: its members over the members it shares with the
// workers, its initialisation, its handlers and its reaction to every worker event. It reaches
// the screen only through its view; every call here is made on the window's thread, except
// Deliver, which workers make.
class CToolDlg final : public WorkerEventSink {
  public:
    struct Environment {
        std::shared_ptr<DeviceMutex> device_mutex;
        const Clock* clock = nullptr;
        // The language rule of the system's locale.
        std::function<UiLanguage()> choose_language;
    };

    CToolDlg(MainWindowView& view, Environment environment);
    // Lets a worker inside its device session finish, and drops the ones still waiting.
    ~CToolDlg() override;
    CToolDlg(const CToolDlg&) = delete;
    CToolDlg& operator=(const CToolDlg&) = delete;

    // The view's events.
    void OnInitDialog();
    // A button press, or a change of the disk-type list's selection.
    void OnCommand(int control);
    void OnTimer();
    // A disk came or went: detect again.
    void OnDeviceChange(DeviceChange change);
    // Handles the oldest worker event that has come in (one per NotifyWorkerEvent).
    void OnWorkerEvent();
    void OnDestroy();

    // WorkerEventSink: queues the event for the window's thread and tells the view.
    void Deliver(const WorkerEvent& event) override;

    UiLanguage Language() const { return language_; }
    const SharedWindowState& State() const { return *state_; }

  private:
    // The exchange between members and controls: 1021, 1018, 1017, 1016, 1022, in that order.
    void MembersToControls();
    void ControlsToMembers();
    void ApplyTexts();
    void StartDetect();
    // The list of recorders, where the view has one: what the last detection found, and the
    // chosen one; and the user's choice in it.
    void ShowRecorders();
    void OnChooseRecorder();
    void OnSet();
    void OnFormat();
    void OnLogin();
    void OnChangePassword();
    void OnStatus(const StatusEvent& event);
    void OnControlGroup(const ControlGroupEvent& event);
    void OnNotice(const NoticeEvent& event);
    void PassOnKeptNotices();
    void ShowText(unsigned text_id);
    void EnablePasswordControls(bool enabled);
    std::string CurrentTimeText() const;

    MainWindowView& view_;
    const Clock& clock_;
    std::function<UiLanguage()> choose_language_;
    std::shared_ptr<SharedWindowState> state_;
    OperationRunner runner_;

    // The window's own members.
    UiLanguage language_ = UiLanguage::EnglishUnitedStates;
    std::string current_time_text_;
    // Only the time of day counts in the time value and only the date in the date value.
    LocalDateTime time_value_{};
    LocalDateTime date_value_{};

    // Worker events on their way to the window's thread, oldest first.
    std::mutex events_mutex_;
    std::deque<WorkerEvent> events_;
    // While a pause runs, the events whose notices came in are counted here, and their notices
    // are passed on once it is over.
    bool pausing_ = false;
    int kept_notices_ = 0;
    // The box that says the tool lacks the rights is shown once per run.
    bool told_about_rights_ = false;
    // The box that says the window waits for another program is shown once per wait: until a
    // status comes from a session that has the device.
    bool told_about_waiting_ = false;
    // Formats started whose workers have not yet said that they ended.
    int formats_running_ = 0;
    bool destroyed_ = false;
};

}  // namespace ulvren
