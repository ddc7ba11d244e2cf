#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/clock.h"
#include "operations/worker_events.h"

namespace ulvren {

// How a modal dialog ended: OK (the OK button or Enter), or Cancel (the Cancel button, Esc or
// the close box).
enum class DialogResult { Ok, Cancel };

// A dialog's controls as the window's logic reaches them: by their dialog ids, with texts in
// UTF-8. A view draws and forwards events; it holds no logic of its own.
class DialogView {
  public:
    virtual ~DialogView() = default;

    virtual void SetTitle(std::string_view text) = 0;
    virtual void SetText(int control, std::string_view text) = 0;
    virtual std::string Text(int control) const = 0;
    virtual void SetEnabled(int control, bool enabled) = 0;

    // A password edit refuses, as it is typed or pasted, any text for which `fits` says no, so
    // that what it holds always fits the recorder.
    virtual void LimitPasswordEdit(int control,
                                   std::function<bool(std::string_view text)> fits) = 0;
};

// What a modal dialog's view calls on its logic.
class DialogLogic {
  public:
    virtual ~DialogLogic() = default;
    // When the dialog is created, before it shows.
    virtual void OnInitDialog(DialogView& view) = 0;
    // When it ends with OK, before it closes: take the controls' values.
    virtual void OnOk(DialogView& view) = 0;
};

// The main window's view. A toolkit's dialog controls implement the DialogView part once, for
// this window and the password dialogs alike, hence the virtual base.
class MainWindowView : public virtual DialogView {
  public:
    virtual void SetChecked(int control, bool checked) = 0;
    virtual bool Checked(int control) const = 0;

    // A date or time picker's value, as a local date and time: the date picker's date and the
    // time picker's time count. Empty when the picker holds no valid time.
    virtual void SetDateTime(int control, const LocalDateTime& value) = 0;
    virtual std::optional<LocalDateTime> DateTime(int control) const = 0;

    // The disk-type list's selection: -1 for none.
    virtual void SetListSelection(int control, int index) = 0;
    virtual int ListSelection(int control) const = 0;

    // The list above the two groups that chooses the recorder the window acts on
    // (CONTROL_RECORDER_LIST, its label CONTROL_RECORDER_LABEL), where the view has one: `items`
    // names each recorder found, `selected` the chosen one. With fewer than two items the list and
    // its label are hidden, and the window looks as it does with one recorder.
    virtual bool HasRecorderList() const { return false; }
    virtual void ShowRecorderList(const std::vector<std::string>& /*items*/, int /*selected*/) {}

    virtual void SetFocus(int control) = 0;
    virtual void SetIcon(int resource_id) = 0;

    // The once-a-second timer: the view calls the logic's OnTimer at each tick.
    virtual void StartTimer(std::chrono::milliseconds period) = 0;
    virtual void StopTimer() = 0;

    // A modal box owned by the window, with the text, one OK button and the exclamation icon,
    // captioned with the executable's name; returns when the user closed it. Worker events that
    // arrive meanwhile are still handled.
    virtual void ShowMessageBox(std::string_view text) = 0;

    // Waits on the window's thread, taking no input (the window stays painted where the platform
    // allows). The logic handles no worker event meanwhile; notices that come in are kept.
    virtual void Pause(std::chrono::milliseconds duration) = 0;

    // A format of the window's own has begun (true), or every one has ended (false): while one
    // runs, the window's cursor shows that it is busy, and where the platform asks programs to end
    // (POSIX signals) the first such request closes the window, which ends the program once the
    // format is done, and a second one ends it at once.
    virtual void ShowFormatRunning(bool running) = 0;

    // Runs dialog `template_id` modally over the window, driven by `logic`.
    virtual DialogResult RunModalDialog(int template_id, DialogLogic& logic) = 0;

    // Asks the window's thread to call the logic's OnWorkerEvent once, after what is already
    // queued there; that call handles `event`. Called on worker threads; never waits. (A Win32
    // view posts the status code as its window message's lParam.)
    virtual void NotifyWorkerEvent(const WorkerEvent& event) = 0;
};

}  // namespace ulvren
