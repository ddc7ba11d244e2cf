#include "ui/main_window.h"

#include <algorithm>
#include <utility>
#include <variant>
#include <vector>

#include "operations/starters.h"
#include "operations/workers.h"
#include "text/text_catalogue.h"
#include "text/text_ids.h"
#include "ui/clock_string.h"
#include "ui/control_ids.h"
#include "ui/device_lock_refusal.h"
#include "ui/dialog_templates.h"
#include "ui/password_dialogs.h"
#include "ui/password_encoding.h"
#include "ui/status_reactions.h"

namespace ulvren {
namespace {

using namespace std::chrono_literals;

constexpr auto kTimerPeriod = 1000ms;

struct ControlText {
    TextId text;
    int control;
};

// The captions that the catalogue gives the main window's controls, in the order they are put.
constexpr ControlText kMainWindowTexts[] = {
    {TEXT_SET, CONTROL_SET_CLOCK_BUTTON},
    {TEXT_FORMAT, CONTROL_FORMAT_BUTTON},
    {TEXT_LOGIN, CONTROL_LOGIN_BUTTON},
    {TEXT_CHANGE_PASSWORD, CONTROL_CHANGE_PASSWORD_BUTTON},
    {TEXT_USE_SYSTEM_DATE_TIME, CONTROL_SYSTEM_TIME_RADIO},
    {TEXT_CUSTOM_DATE_TIME, CONTROL_CUSTOM_TIME_RADIO},
    {TEXT_SHOW_TIME_STAMP, CONTROL_TIME_STAMP_CHECK},
    {TEXT_DISK_CAPACITY, CONTROL_CAPACITY_LABEL},
    {TEXT_USB_DISK_TYPE_LABEL, CONTROL_DISK_TYPE_LABEL},
    {TEXT_MANAGE_USB_DISK, CONTROL_DEVICE_GROUP},
    {TEXT_MANAGE_DATE_TIME, CONTROL_DATE_TIME_GROUP},
};

// The controls of each group that detection enables and disables.
constexpr int kDeviceControls[] = {CONTROL_FORMAT_BUTTON, CONTROL_DISK_TYPE_LIST,
                                   CONTROL_SET_CLOCK_BUTTON};
constexpr int kPasswordControls[] = {CONTROL_LOGIN_BUTTON, CONTROL_CHANGE_PASSWORD_BUTTON};

}  // namespace

CToolDlg::CToolDlg(MainWindowView& view, Environment environment)
    : view_(view),
      clock_(*environment.clock),
      choose_language_(std::move(environment.choose_language)),
      state_(std::make_shared<SharedWindowState>(std::move(environment.device_mutex))),
      runner_(state_) {}

CToolDlg::~CToolDlg() {
    OnDestroy();
}

void CToolDlg::OnInitDialog() {
    // The view has put the list's two items in; the members show with their first values.
    MembersToControls();
    view_.SetIcon(IDI_APPLICATION_ICON);
    current_time_text_ = CurrentTimeText();
    view_.SetChecked(CONTROL_SYSTEM_TIME_RADIO, true);
    view_.SetChecked(CONTROL_TIME_STAMP_CHECK, true);
    // The device mutex came with the state; from here on workers reach this window.
    state_->link.Attach(*this);
    view_.StartTimer(kTimerPeriod);
    WindowMembers& members = state_->members;
    members.device_handle.Set(kInvalidDeviceHandle);
    members.device_path.Set("");
    members.new_password.Set("");
    members.confirm_password.Set("");
    members.old_password.Set("");
    members.login_password.Set("");
    EnablePasswordControls(false);
    date_value_ = time_value_ = clock_.Now();
    MembersToControls();
    StartDetect();
    language_ = choose_language_();
    ApplyTexts();
    view_.SetFocus(CONTROL_SET_CLOCK_BUTTON);
}

void CToolDlg::OnCommand(int control) {
    switch (control) {
        case CONTROL_SET_CLOCK_BUTTON:
            OnSet();
            break;
        case CONTROL_FORMAT_BUTTON:
            OnFormat();
            break;
        case CONTROL_LOGIN_BUTTON:
            OnLogin();
            break;
        case CONTROL_CHANGE_PASSWORD_BUTTON:
            OnChangePassword();
            break;
        case CONTROL_DISK_TYPE_LIST:
            // The index follows the list at once; the device is not touched until Format.
            ControlsToMembers();
            break;
        case CONTROL_RECORDER_LIST:
            OnChooseRecorder();
            break;
        default:
            break;
    }
}

void CToolDlg::OnTimer() {
    // Only the current-time text: the pickers keep what the user set.
    current_time_text_ = CurrentTimeText();
    view_.SetText(CONTROL_CURRENT_TIME, current_time_text_);
}

void CToolDlg::OnDeviceChange(DeviceChange /*change*/) {
    StartDetect();
}

void CToolDlg::Deliver(const WorkerEvent& event) {
    {
        std::lock_guard lock(events_mutex_);
        events_.push_back(event);
    }
    view_.NotifyWorkerEvent(event);
}

void CToolDlg::OnWorkerEvent() {
    // A closed window shows nothing more.
    if (destroyed_) {
        return;
    }
    if (pausing_) {
        ++kept_notices_;
        return;
    }
    WorkerEvent event;
    {
        std::lock_guard lock(events_mutex_);
        if (events_.empty()) {
            return;
        }
        event = std::move(events_.front());
        events_.pop_front();
    }
    if (const auto* status = std::get_if<StatusEvent>(&event)) {
        OnStatus(*status);
    } else if (const auto* group = std::get_if<ControlGroupEvent>(&event)) {
        OnControlGroup(*group);
    } else {
        OnNotice(std::get<NoticeEvent>(event));
    }
}

void CToolDlg::OnDestroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    view_.StopTimer();
    // Workers still waiting for the device mutex are dropped; one inside its session finishes it
    // (a format is never cut off) and closes its own handle, and nothing reaches this window any
    // more.
    runner_.Close();
    state_->link.Detach();
}

void CToolDlg::MembersToControls() {
    const WindowMembers& members = state_->members;
    if (view_.HasRecorderList()) {
        ShowRecorders();
    }
    view_.SetText(CONTROL_CURRENT_TIME, current_time_text_);
    view_.SetDateTime(CONTROL_TIME_PICKER, time_value_);
    view_.SetDateTime(CONTROL_DATE_PICKER, date_value_);
    view_.SetListSelection(CONTROL_DISK_TYPE_LIST, members.disk_type_index.Get());
    view_.SetText(CONTROL_CAPACITY_FIELD, members.capacity_text.Get());
}

void CToolDlg::ControlsToMembers() {
    WindowMembers& members = state_->members;
    current_time_text_ = view_.Text(CONTROL_CURRENT_TIME);
    if (const auto time = view_.DateTime(CONTROL_TIME_PICKER)) {
        time_value_ = *time;
    }
    if (const auto date = view_.DateTime(CONTROL_DATE_PICKER)) {
        date_value_ = *date;
    }
    members.disk_type_index.Set(view_.ListSelection(CONTROL_DISK_TYPE_LIST));
    members.capacity_text.Set(view_.Text(CONTROL_CAPACITY_FIELD));
}

void CToolDlg::ApplyTexts() {
    for (const ControlText& pair : kMainWindowTexts) {
        if (const auto text = LoadLocalizedTextUtf8(pair.text, language_)) {
            view_.SetText(pair.control, *text);
        }
    }
    if (view_.HasRecorderList()) {
        view_.SetText(CONTROL_RECORDER_LABEL, LocalizedTextUtf8(TEXT_RECORDER_LABEL, language_));
    }
}

void CToolDlg::StartDetect() {
    ControlsToMembers();
    // A window with a list of recorders finds them all and keeps the one chosen; else the first
    // recorder is the window's.
    if (view_.HasRecorderList()) {
        StartDetectEvery(runner_);
    } else {
        ulvren::StartDetect(runner_);
    }
}

void CToolDlg::ShowRecorders() {
    const std::vector<FoundRecorder> recorders = state_->members.recorders.Get();
    const std::string chosen = state_->members.device_path.Get();
    std::vector<std::string> items;
    int selected = -1;
    for (const FoundRecorder& recorder : recorders) {
        if (recorder.path == chosen) {
            selected = static_cast<int>(items.size());
        }
        const std::string capacity = recorder.sector_count
                                         ? CapacityText(*recorder.sector_count)
                                         : LocalizedTextUtf8(TEXT_UNKNOWN_CAPACITY, language_);
        std::string item = LocalizedTextUtf8(TEXT_RECORDER_ITEM, language_);
        for (const auto& [mark, value] : {std::pair{"{1}", recorder.path}, {"{2}", capacity}}) {
            if (const auto at = item.find(mark); at != std::string::npos) {
                item.replace(at, 3, value);
            }
        }
        items.push_back(std::move(item));
    }
    view_.ShowRecorderList(items, selected);
}

void CToolDlg::OnChooseRecorder() {
    const std::vector<FoundRecorder> recorders = state_->members.recorders.Get();
    const int index = view_.ListSelection(CONTROL_RECORDER_LIST);
    if (index < 0 || index >= static_cast<int>(recorders.size())) {
        return;
    }
    // The buttons act on it from now on; a detection shows its capacity and disk type.
    state_->members.device_path.Set(recorders[static_cast<std::size_t>(index)].path);
    StartDetect();
}

void CToolDlg::OnSet() {
    ControlsToMembers();
    std::optional<LocalDateTime> when;
    if (view_.Checked(CONTROL_SYSTEM_TIME_RADIO)) {
        when = clock_.Now();
    } else if (view_.Checked(CONTROL_CUSTOM_TIME_RADIO)) {
        when = LocalDateTime{date_value_.year, date_value_.month,  date_value_.day,
                             time_value_.hour, time_value_.minute, time_value_.second};
    }
    const TimeStamp stamp =
        view_.Checked(CONTROL_TIME_STAMP_CHECK) ? TimeStamp::Show : TimeStamp::Hide;
    // No clock string is built from a date and time that do not exist.
    const auto clock = when ? BuildClockString(*when, stamp) : std::nullopt;
    if (!clock) {
        return;
    }
    state_->members.clock_string.Set(*clock);
    StartSetClock(runner_);
}

void CToolDlg::OnFormat() {
    ControlsToMembers();
    if (formats_running_++ == 0) {
        view_.ShowFormatRunning(true);
    }
    // A worker that cannot start never says that it ended.
    if (!StartFormat(runner_) && --formats_running_ == 0) {
        view_.ShowFormatRunning(false);
    }
}

void CToolDlg::OnLogin() {
    CLoginDlg dialog(choose_language_());
    if (view_.RunModalDialog(IDD_ENTER_PASSWORD, dialog) != DialogResult::Ok) {
        return;
    }
    const auto password = EncodePassword(dialog.Password(), language_);
    if (const auto* refusal = std::get_if<PasswordRefusal>(&password)) {
        ShowText(PasswordRefusalText(*refusal));
        return;
    }
    state_->members.login_password.Set(std::get<std::string>(password));
    StartLogin(runner_);
}

void CToolDlg::OnChangePassword() {
    CChangePasswordDlg dialog(choose_language_());
    if (view_.RunModalDialog(IDD_CHANGE_PASSWORD, dialog) != DialogResult::Ok) {
        return;
    }
    const auto new_password = EncodePassword(dialog.NewPassword(), language_);
    const auto confirm_password = EncodePassword(dialog.ConfirmPassword(), language_);
    const auto old_password = EncodePassword(dialog.OldPassword(), language_);
    for (const auto* encoded : {&new_password, &confirm_password, &old_password}) {
        if (const auto* refusal = std::get_if<PasswordRefusal>(encoded)) {
            ShowText(PasswordRefusalText(*refusal));
            return;
        }
    }
    WindowMembers& members = state_->members;
    members.new_password.Set(std::get<std::string>(new_password));
    members.confirm_password.Set(std::get<std::string>(confirm_password));
    members.old_password.Set(std::get<std::string>(old_password));
    // Compared exactly, byte for byte; a mismatch starts nothing.
    if (!StartChangePassword(runner_)) {
        ShowText(TEXT_PASSWORD_MISMATCH);
    }
}

void CToolDlg::OnStatus(const StatusEvent& event) {
    const StatusReaction& reaction = ReactionTo(event.status);
    told_about_waiting_ = false;
    if (reaction.password_controls_follow_index) {
        EnablePasswordControls(state_->members.disk_type_index.Get() != 0);
    }
    if (reaction.text && reaction.display == StatusDisplay::CapacityField) {
        if (const auto text = LoadLocalizedTextUtf8(*reaction.text, language_)) {
            state_->members.capacity_text.Set(*text);
        }
    }
    if (reaction.text && reaction.display == StatusDisplay::MessageBox) {
        if (reaction.pause.count() > 0) {
            // Statuses that arrive meanwhile wait until the box is up, so boxes come in order.
            pausing_ = true;
            view_.Pause(reaction.pause);
            pausing_ = false;
            // A close request kept by the pause has been taken as it ended.
            if (destroyed_) {
                return;
            }
            PassOnKeptNotices();
        }
        ShowText(*reaction.text);
    }
    if (reaction.refreshes) {
        MembersToControls();
    }
    // A button's operation that found no recorder at the kept path says so; it does not end in
    // silence.
    if (event.status == STATUS_DEVICE_NOT_FOUND && event.not_found_by == NotFoundBy::Operation) {
        ShowText(TEXT_DEVICE_NOT_FOUND);
    }
    if (event.status == STATUS_OPEN_FAILED && event.device_lock_refused) {
        view_.ShowMessageBox(DeviceLockRefusalText(event.host_error, language_));
    } else if (event.status == STATUS_OPEN_FAILED && event.not_found_by == NotFoundBy::Operation) {
        // The kept path leads nowhere (the recorder was unplugged) or may not be opened: the
        // operation ended before it began, and the user is told so and why.
        const TextId text = event.host_error.kind == HostErrorKind::AccessDenied
                                ? TEXT_NEEDS_RIGHTS
                                : TEXT_DEVICE_NOT_FOUND;
        if (auto shown = LoadLocalizedTextUtf8(text, language_)) {
            if (text == TEXT_DEVICE_NOT_FOUND && !event.host_error.text.empty()) {
                *shown += '\n' + event.host_error.text;
            }
            view_.ShowMessageBox(*shown);
        }
    }
    // A drive that could not be opened for lack of rights may have been the recorder.
    if (event.status == STATUS_DEVICE_NOT_FOUND &&
        event.host_error.kind == HostErrorKind::AccessDenied && !told_about_rights_) {
        told_about_rights_ = true;
        ShowText(TEXT_NEEDS_RIGHTS);
    }
}

void CToolDlg::OnControlGroup(const ControlGroupEvent& event) {
    if (event.group == ControlGroup::Password) {
        EnablePasswordControls(event.enabled);
        return;
    }
    for (const int control : kDeviceControls) {
        view_.SetEnabled(control, event.enabled);
    }
}

void CToolDlg::OnNotice(const NoticeEvent& event) {
    switch (event.notice) {
        case WorkerNotice::WaitingForDeviceLock:
            if (!told_about_waiting_) {
                told_about_waiting_ = true;
                ShowText(TEXT_WAITING_FOR_RECORDER);
            }
            break;
        case WorkerNotice::FormatEnded:
            if (formats_running_ > 0 && --formats_running_ == 0) {
                view_.ShowFormatRunning(false);
            }
            break;
    }
}

void CToolDlg::PassOnKeptNotices() {
    // The kept notices stood for the oldest queued events, which are still first in the queue.
    std::vector<WorkerEvent> kept;
    {
        std::lock_guard lock(events_mutex_);
        const auto count =
            std::min<std::size_t>(static_cast<std::size_t>(kept_notices_), events_.size());
        kept.assign(events_.begin(), events_.begin() + static_cast<std::ptrdiff_t>(count));
    }
    kept_notices_ = 0;
    for (const WorkerEvent& event : kept) {
        view_.NotifyWorkerEvent(event);
    }
}

void CToolDlg::ShowText(unsigned text_id) {
    if (const auto text = LoadLocalizedTextUtf8(text_id, language_)) {
        view_.ShowMessageBox(*text);
    }
}

void CToolDlg::EnablePasswordControls(bool enabled) {
    for (const int control : kPasswordControls) {
        view_.SetEnabled(control, enabled);
    }
}

std::string CToolDlg::CurrentTimeText() const {
    return FormatCurrentTimeText(clock_.Now());
}

}  // namespace ulvren
