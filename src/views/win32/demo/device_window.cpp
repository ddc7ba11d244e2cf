#include "views/win32/demo/device_window.h"

// windows.h first (device_window.h): dbt.h needs its types.
#include <dbt.h>

#include <algorithm>

#include "views/win32/ansi_text.h"

namespace ulvren::views::win32 {
namespace {

constexpr const wchar_t* kClassName = L"UlvrenSimulatedDevices";
// The check boxes' ids: the first drive's, then one more for each next drive.
constexpr int kFirstSwitch = 100;
// Margins and the space between the window's lines, in pixels.
constexpr int kMargin = 12;
constexpr int kLineGap = 6;
// Space between the window and the main window, in pixels.
constexpr int kGap = 12;

}  // namespace

DeviceWindow::DeviceWindow(HINSTANCE instance, SimulatedHost& host,
                           const std::string& recorder_root, std::string image_path,
                           const std::string& second_recorder_root)
    : instance_(instance),
      host_(host),
      image_path_(std::move(image_path)),
      drives_(SetUpDemoDrives(host, recorder_root, second_recorder_root)) {}

DeviceWindow::~DeviceWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

void DeviceWindow::OnCreated(HWND main_window) {
    main_window_ = main_window;
    Create();
}

void DeviceWindow::Create() {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = Procedure;
    window_class.hInstance = instance_;
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kClassName;
    window_class.hIcon =
        reinterpret_cast<HICON>(SendMessageW(main_window_, WM_GETICON, ICON_BIG, 0));
    RegisterClassExW(&window_class);
    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    window_ = CreateWindowExW(0, kClassName, L"Simulated devices", kStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, 100, 100, nullptr, nullptr, instance_, this);

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);
    const HDC context = GetDC(window_);
    const HGDIOBJ old_font = SelectObject(context, font_);
    const auto extent = [&](const std::wstring& text) {
        SIZE size{};
        GetTextExtentPoint32W(context, text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    };
    // One line a control: the image's path, then a check box a drive.
    int top = kMargin;
    int width = 0;
    const auto add = [&](const wchar_t* control_class, const std::wstring& text, DWORD style,
                         int id, int box) {
        const SIZE size = extent(text);
        const HWND control =
            CreateWindowExW(0, control_class, text.c_str(), WS_CHILD | WS_VISIBLE | style, kMargin,
                            top, size.cx + box, size.cy + 4, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        width = std::max(width, static_cast<int>(size.cx) + box);
        top += size.cy + 4 + kLineGap;
        return control;
    };
    add(L"STATIC", L"Recorder image: " + Utf8ToWide(image_path_), SS_NOPREFIX, -1, 0);
    const int box = GetSystemMetrics(SM_CXMENUCHECK) + 8;
    for (std::size_t index = 0; index < drives_.size(); ++index) {
        const HWND check =
            add(L"BUTTON", Utf8ToWide(drives_[index].caption), BS_AUTOCHECKBOX | WS_TABSTOP,
                kFirstSwitch + static_cast<int>(index), box);
        SendMessageW(check, BM_SETCHECK, drives_[index].plugged ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    SelectObject(context, old_font);
    ReleaseDC(window_, context);

    // The frame around a client area of that size, beside the main window: to its right, else to
    // its left, else below it, else where the work area's bottom right corner leaves it.
    RECT frame{0, 0, width + 2 * kMargin, top - kLineGap + kMargin};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    const int frame_width = frame.right - frame.left;
    const int frame_height = frame.bottom - frame.top;
    RECT main{};
    GetWindowRect(main_window_, &main);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    POINT place{work.right - frame_width, work.bottom - frame_height};
    if (main.right + kGap + frame_width <= work.right) {
        place = {main.right + kGap, main.top};
    } else if (main.left - kGap - frame_width >= work.left) {
        place = {main.left - kGap - frame_width, main.top};
    } else if (main.bottom + kGap + frame_height <= work.bottom) {
        place = {main.left, main.bottom + kGap};
    }
    SetWindowPos(window_, nullptr, std::max(place.x, work.left), std::max(place.y, work.top),
                 frame_width, frame_height, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window_, SW_SHOWNOACTIVATE);
}

LRESULT CALLBACK DeviceWindow::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<DeviceWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
        const int index = LOWORD(wparam) - kFirstSwitch;
        if (index >= 0 && static_cast<std::size_t>(index) < self->drives_.size()) {
            self->Toggle(static_cast<std::size_t>(index));
            return 0;
        }
    }
    if (self != nullptr && message == WM_DESTROY) {
        self->window_ = nullptr;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

void DeviceWindow::Toggle(std::size_t index) {
    const DemoDrive& drive = drives_[index];
    const bool plug =
        IsDlgButtonChecked(window_, kFirstSwitch + static_cast<int>(index)) == BST_CHECKED;
    if (plug) {
        host_.Plug(drive.root);
    } else {
        host_.Unplug(drive.root);
    }
    // What the system sends every top-level window when a drive's volume arrives or goes.
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << (drive.root[0] - 'A');
    SendMessageW(main_window_, WM_DEVICECHANGE, plug ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                 reinterpret_cast<LPARAM>(&volume));
}

}  // namespace ulvren::views::win32
