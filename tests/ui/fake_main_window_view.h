#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "operations/device_mutex.h"
#include "ui/control_ids.h"
#include "ui/dialog_view.h"

namespace ulvren::testing {

// A clock that says what the test sets.
class FixedClock final : public Clock {
  public:
    explicit FixedClock(LocalDateTime now) : now_(now) {}
    LocalDateTime Now() const override { return now_; }

  private:
    LocalDateTime now_;
};

// The device mutex of one process, counting the device sessions that have ended, so that a test
// can wait for the workers it started (each posts all it has to say before it gives the mutex
// back).
class CountingDeviceMutex final : public DeviceMutex {
  public:
    explicit CountingDeviceMutex(std::shared_ptr<DeviceMutex> inner) : inner_(std::move(inner)) {}
    using DeviceMutex::Acquire;
    Outcome Acquire(std::stop_token stop, const NamedSystemMutex::WaitNotice& notice) override {
        return inner_->Acquire(std::move(stop), notice);
    }
    void Release() override {
        inner_->Release();
        std::lock_guard lock(mutex_);
        ++released_;
        changed_.notify_all();
    }
    // Waits until `count` sessions have ended; false after ten seconds.
    bool WaitForSessions(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10),
                                 [&] { return released_ >= count; });
    }
    int Sessions() {
        std::lock_guard lock(mutex_);
        return released_;
    }

  private:
    std::shared_ptr<DeviceMutex> inner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int released_ = 0;
};

// What the user does in a password dialog: what each edit receives, typed one character at a time
// through the edit's limit, and how the dialog ends.
struct DialogInput {
    std::map<int, std::string> typed;
    DialogResult result = DialogResult::Ok;
};

// A dialog's controls, kept as plain values, for either kind of view.
template <typename View>
class FakeControls : public View {
  public:
    struct Control {
        std::string text;
        bool enabled = true;
        bool checked = false;
        std::optional<LocalDateTime> date_time;
        int selection = -1;
        std::function<bool(std::string_view)> fits;
    };

    void SetTitle(std::string_view text) override { title = text; }
    void SetText(int control, std::string_view text) override { controls[control].text = text; }
    std::string Text(int control) const override {
        const auto it = controls.find(control);
        return it == controls.end() ? std::string() : it->second.text;
    }
    void SetEnabled(int control, bool enabled) override {
        controls[control].enabled = enabled;
        log.push_back((enabled ? "enable " : "disable ") + std::to_string(control));
    }
    void LimitPasswordEdit(int control, std::function<bool(std::string_view)> fits) override {
        controls[control].fits = std::move(fits);
    }

    // Types `text` into an edit one UTF-8 character at a time; a character the edit's limit
    // refuses is dropped, as a real edit drops it.
    void Type(int control, std::string_view text) {
        Control& edit = controls[control];
        for (std::size_t i = 0; i < text.size();) {
            std::size_t length = 1;
            while (i + length < text.size() && (text[i + length] & 0xC0) == 0x80) {
                ++length;
            }
            const std::string candidate = edit.text + std::string(text.substr(i, length));
            if (!edit.fits || edit.fits(candidate)) {
                edit.text = candidate;
            }
            i += length;
        }
    }

    std::string title;
    std::map<int, Control> controls;
    std::vector<std::string> log;
};

using FakeDialogView = FakeControls<DialogView>;

// The main window's view: its controls, and a log of boxes, pauses and enabling. Worker notices
// are counted, and the test hands them to the logic on its own thread (the window's thread).
class FakeMainWindowView final : public FakeControls<MainWindowView> {
  public:
    void SetChecked(int control, bool checked) override { controls[control].checked = checked; }
    bool Checked(int control) const override {
        const auto it = controls.find(control);
        return it != controls.end() && it->second.checked;
    }
    void SetDateTime(int control, const LocalDateTime& value) override {
        controls[control].date_time = value;
    }
    std::optional<LocalDateTime> DateTime(int control) const override {
        const auto it = controls.find(control);
        return it == controls.end() ? std::nullopt : it->second.date_time;
    }
    void SetListSelection(int control, int index) override { controls[control].selection = index; }
    int ListSelection(int control) const override {
        const auto it = controls.find(control);
        return it == controls.end() ? -1 : it->second.selection;
    }
    bool HasRecorderList() const override { return has_recorder_list; }
    void ShowRecorderList(const std::vector<std::string>& items, int selected) override {
        recorder_items = items;
        controls[CONTROL_RECORDER_LIST].selection = selected;
    }
    void SetFocus(int control) override { focus = control; }
    void SetIcon(int resource_id) override { icon = resource_id; }
    void StartTimer(std::chrono::milliseconds period) override { timer = period; }
    void StopTimer() override { timer = std::chrono::milliseconds(0); }
    void ShowMessageBox(std::string_view text) override {
        log.push_back("box " + std::string(text));
    }
    void Pause(std::chrono::milliseconds duration) override {
        log.push_back("pause " + std::to_string(duration.count()));
        if (during_pause) {
            during_pause();
        }
    }
    void ShowFormatRunning(bool running) override {
        format_running = running;
        log.push_back(running ? "format running" : "format done");
    }
    DialogResult RunModalDialog(int template_id, DialogLogic& logic) override {
        FakeDialogView dialog;
        logic.OnInitDialog(dialog);
        dialogs.push_back({template_id, dialog.title, dialog});
        DialogInput input;
        if (!dialog_inputs.empty()) {
            input = std::move(dialog_inputs.front());
            dialog_inputs.pop_front();
        }
        for (const auto& [control, text] : input.typed) {
            dialog.Type(control, text);
        }
        dialogs.back().view = dialog;
        if (input.result == DialogResult::Ok) {
            logic.OnOk(dialog);
        }
        return input.result;
    }
    void NotifyWorkerEvent(const WorkerEvent&) override {
        std::lock_guard lock(notices_mutex_);
        ++notices_;
        notice_came_.notify_all();
    }
    // Waits for a notice to come in; false after ten seconds.
    bool WaitForNotice() {
        std::unique_lock lock(notices_mutex_);
        return notice_came_.wait_for(lock, std::chrono::seconds(10), [&] { return notices_ > 0; });
    }

    // Takes the notices that have come in so far.
    int TakeNotices() {
        std::lock_guard lock(notices_mutex_);
        return std::exchange(notices_, 0);
    }

    struct ShownDialog {
        int template_id;
        std::string title;
        FakeDialogView view;
    };

    int focus = 0;
    int icon = 0;
    std::chrono::milliseconds timer{0};
    std::deque<DialogInput> dialog_inputs;
    std::vector<ShownDialog> dialogs;
    std::function<void()> during_pause;
    bool format_running = false;
    bool has_recorder_list = false;
    std::vector<std::string> recorder_items;

  private:
    std::mutex notices_mutex_;
    std::condition_variable notice_came_;
    int notices_ = 0;
};

}  // namespace ulvren::testing
