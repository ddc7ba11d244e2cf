// Takes the README's screenshots of the Win32 windows: the main window over a simulated 8 GiB
// recorder that is a password disk, then the enter-password and the change-password dialog, each
// opened by the command its button sends. Texts come in the language of the system's locale.
// The pictures are 24-bit BMP files.
//
//   ulvren_screenshot_driver OUT_PREFIX
//
// writes OUT_PREFIX-main.bmp, OUT_PREFIX-login.bmp and OUT_PREFIX-change-password.bmp.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "fake_main_window_view.h"
#include "host/platform.h"
#include "hosts/simulated/simulated_host.h"
#include "operations/queued_device_mutex.h"
#include "protocol/vendor_protocol.h"
#include "support/simulated_recorders.h"
#include "ui/control_ids.h"
#include "ui/system_language.h"
#include "views/win32/main_window_view.h"
#include "window_driver.h"

namespace {

constexpr DWORD kPatienceMs = 20000;

// From the screen, with the window manager's frame; or, where Wine's idea of a window's place on
// the screen lags the window manager's (dialogs placed over their owner), from the window's own
// client area, without it.
bool SaveWindow(HWND window, const std::string& path, bool from_screen) {
    RECT rect{};
    if (from_screen) {
        GetWindowRect(window, &rect);
    } else {
        GetClientRect(window, &rect);
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    if (from_screen) {
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    } else {
        const HDC own = GetDC(window);
        BitBlt(memory, 0, 0, width, height, own, 0, 0, SRCCOPY);
        ReleaseDC(window, own);
    }
    SelectObject(memory, old);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const std::size_t row = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    std::vector<unsigned char> pixels(row * static_cast<std::size_t>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    return std::fclose(out) == 0;
}

// The window's thread has handled what came before, and the window is painted.
void Settle(HWND window) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kPatienceMs, &result);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kPatienceMs, &result);
    GdiFlush();
}

// Opens the dialog behind `button`, saves it and cancels it.
bool ShootDialog(ulvren::testing::WindowDriver& driver, HWND main, int button,
                 const std::string& path) {
    ulvren::testing::Click(main, button);
    const HWND dialog = driver.NextDialog();
    if (dialog == nullptr) {
        return false;
    }
    // A dialog becomes active before it shows: wait for it on the screen, then for its paint.
    for (int tries = 0; tries < 100 && !IsWindowVisible(dialog); ++tries) {
        Sleep(20);
    }
    driver.Flush(dialog);
    Settle(dialog);

    const bool saved = SaveWindow(dialog, path, false);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    driver.Flush(main);
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace ulvren;
    if (argc != 2) {
        std::fprintf(stderr, "usage: ulvren_screenshot_driver OUT_PREFIX\n");
        return 2;
    }
    const std::string prefix = argv[1];
    SimulatedHost machine;
    machine.AddDrive("C:\\", DriveKind::Fixed);
    RecorderSettings settings;
    settings.disk_type = DISK_TYPE_PASSWORD;
    machine.AddRecorder("E:\\", testing::MakeRecorder(16'777'216, settings));
    ScopedHost installed(machine);

    views::win32::MainWindowDialog view(GetModuleHandleA(nullptr));
    const auto mutex = std::make_shared<testing::CountingDeviceMutex>(
        std::make_shared<QueuedDeviceMutex>(nullptr));
    CToolDlg logic(view, {mutex, &platform::SystemClock(), SystemUiLanguage});
    testing::WindowDriver driver([&] { view.Run(logic); });
    const HWND main = driver.NextDialog();
    bool ok = main != nullptr;
    if (ok) {
        // The first detection has filled the capacity field and enabled the password buttons.
        mutex->WaitForSessions(1);
        driver.Flush(main);
        Settle(main);
        Sleep(300);
        ok = SaveWindow(main, prefix + "-main.bmp", true) &&
             ShootDialog(driver, main, CONTROL_LOGIN_BUTTON, prefix + "-login.bmp") &&
             ShootDialog(driver, main, CONTROL_CHANGE_PASSWORD_BUTTON,
                         prefix + "-change-password.bmp");
        PostMessageA(main, WM_CLOSE, 0, 0);
    }
    if (!ok) {
        std::fprintf(stderr, "a window did not come up\n");
    }
    return ok ? 0 : 1;
}
