#include "views/win32/main_window_view.h"

// windows.h first (main_window_view.h): commctrl.h needs its types.
#include <commctrl.h>

#include "ui/control_ids.h"
#include "ui/dialog_templates.h"
#include "views/win32/caption_fit.h"
#include "views/win32/device_change_message.h"
#include "views/win32/dialog_init_data.h"
#include "views/win32/input_free_pause.h"
#include "views/win32/message_box.h"
#include "views/win32/password_dialog_view.h"
#include "views/win32/worker_messages.h"

namespace ulvren::views::win32 {
namespace {

constexpr UINT_PTR kClockTimer = 1;

}  // namespace

INT_PTR MainWindowDialog::Run(CToolDlg& logic) {
    logic_ = &logic;
    return DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_MAIN_WINDOW), nullptr, Procedure,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK MainWindowDialog::Procedure(HWND dialog, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
    }
    auto* view = reinterpret_cast<MainWindowDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    return view != nullptr ? view->Handle(dialog, message, wparam) : FALSE;
}

INT_PTR MainWindowDialog::Handle(HWND dialog, UINT message, WPARAM wparam) {
    switch (message) {
        case WM_INITDIALOG:
            Attach(dialog);
            window_ = dialog;
            // The toolkit's part: the list receives its items from the initialisation data.
            ExecuteDialogInit(instance_, dialog, IDD_MAIN_WINDOW);
            logic_->OnInitDialog();
            FitCaptions(dialog);
            if (observer_ != nullptr) {
                observer_->OnCreated(dialog);
            }
            // The logic has set the focus.
            return FALSE;
        case WM_COMMAND: {
            const int control = LOWORD(wparam);
            const WORD code = HIWORD(wparam);
            if (control == IDOK || control == IDCANCEL) {
                EndDialog(dialog, control);
            } else if ((control == CONTROL_DISK_TYPE_LIST && code == CBN_SELCHANGE) ||
                       (control != CONTROL_DISK_TYPE_LIST && code == BN_CLICKED)) {
                logic_->OnCommand(control);
            }
            return TRUE;
        }
        case WM_OPERATION_STATUS:
        case WM_CONTROL_GROUP:
        case WM_WORKER_NOTICE:
            logic_->OnWorkerEvent();
            if (observer_ != nullptr) {
                observer_->OnWorkerEventHandled();
            }
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
            return TRUE;
        case WM_SETCURSOR:
            // The controls' own come here first, as their default processing asks their parent.
            if (!format_running_) {
                return FALSE;
            }
            SetCursor(LoadCursor(nullptr, IDC_APPSTARTING));
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_TIMER:
            logic_->OnTimer();
            return TRUE;
        case WM_DEVICECHANGE:
            if (const std::optional<DeviceChange> change = DeviceChangeOf(wparam)) {
                logic_->OnDeviceChange(*change);
            }
            // The message goes on to the default processing, whose result is returned.
            return FALSE;
        case WM_PAINT:
            if (!painted_ && observer_ != nullptr) {
                painted_ = true;
                observer_->OnFirstPaint();
            }
            if (!IsIconic(dialog)) {
                return FALSE;
            }
            PaintIcon(dialog);
            return TRUE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(icon_);
        case WM_DESTROY:
            logic_->OnDestroy();
            window_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

void MainWindowDialog::PaintIcon(HWND dialog) {
    PAINTSTRUCT paint{};
    const HDC context = BeginPaint(dialog, &paint);
    SendMessageA(dialog, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(context), 0);
    RECT client{};
    GetClientRect(dialog, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(context, x, y, icon_);
    EndPaint(dialog, &paint);
}

void MainWindowDialog::SetChecked(int control, bool checked) {
    CheckDlgButton(Dialog(), control, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool MainWindowDialog::Checked(int control) const {
    return IsDlgButtonChecked(Dialog(), control) == BST_CHECKED;
}

void MainWindowDialog::SetDateTime(int control, const LocalDateTime& value) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(value.year);
    time.wMonth = static_cast<WORD>(value.month);
    time.wDay = static_cast<WORD>(value.day);
    time.wHour = static_cast<WORD>(value.hour);
    time.wMinute = static_cast<WORD>(value.minute);
    time.wSecond = static_cast<WORD>(value.second);
    SendDlgItemMessageA(Dialog(), control, DTM_SETSYSTEMTIME, GDT_VALID,
                        reinterpret_cast<LPARAM>(&time));
}

std::optional<LocalDateTime> MainWindowDialog::DateTime(int control) const {
    SYSTEMTIME time{};
    if (SendDlgItemMessageA(Dialog(), control, DTM_GETSYSTEMTIME, 0,
                            reinterpret_cast<LPARAM>(&time)) != GDT_VALID) {
        return std::nullopt;
    }
    return LocalDateTime{time.wYear, time.wMonth,  time.wDay,
                         time.wHour, time.wMinute, time.wSecond};
}

void MainWindowDialog::SetListSelection(int control, int index) {
    SendDlgItemMessageA(Dialog(), control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int MainWindowDialog::ListSelection(int control) const {
    return static_cast<int>(SendDlgItemMessageA(Dialog(), control, CB_GETCURSEL, 0, 0));
}

void MainWindowDialog::SetFocus(int control) {
    ::SetFocus(GetDlgItem(Dialog(), control));
}

void MainWindowDialog::SetIcon(int resource_id) {
    icon_ = LoadIconA(instance_, MAKEINTRESOURCEA(resource_id));
    SendMessageA(Dialog(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(Dialog(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
}

void MainWindowDialog::StartTimer(std::chrono::milliseconds period) {
    SetTimer(Dialog(), kClockTimer, static_cast<UINT>(period.count()), nullptr);
}

void MainWindowDialog::StopTimer() {
    KillTimer(Dialog(), kClockTimer);
}

void MainWindowDialog::ShowMessageBox(std::string_view text) {
    if (observer_ != nullptr) {
        observer_->OnMessageBox(text);
    }
    ShowExclamationBox(Dialog(), text);
}

void MainWindowDialog::Pause(std::chrono::milliseconds duration) {
    // The window paints meanwhile and takes no input.
    PauseWithoutInput(duration);
}

void MainWindowDialog::ShowFormatRunning(bool running) {
    format_running_ = running;
    // The cursor changes now, not only when the mouse next moves.
    POINT where{};
    if (GetCursorPos(&where)) {
        SetCursorPos(where.x, where.y);
    }
}

DialogResult MainWindowDialog::RunModalDialog(int template_id, DialogLogic& logic) {
    return RunPasswordDialog(instance_, Dialog(), template_id, logic);
}

void MainWindowDialog::NotifyWorkerEvent(const WorkerEvent& event) {
    if (const HWND window = window_.load()) {
        PostWorkerEvent(window, event);
    }
}

}  // namespace ulvren::views::win32
