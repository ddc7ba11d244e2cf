// Takes the screenshots of UlvrenTool.exe: starts it, waits until its first detection has shown,
// saves its main window, then opens each password dialog (by the command its button sends) and
// saves it. The pictures are 24-bit BMP files, cut from the screen with the windows' frames.
//
//   ulvren_screenshot_driver TOOL.exe OUT_PREFIX
//
// writes OUT_PREFIX-main.bmp, OUT_PREFIX-login.bmp and OUT_PREFIX-change-password.bmp.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ui/control_ids.h"

namespace {

constexpr DWORD kPatienceMs = 20000;

bool SaveWindow(HWND window, const std::string& path) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
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

// The dialog that `owner`'s modal run shows, once it is up.
HWND WaitForDialogOver(HWND owner) {
    const DWORD deadline = GetTickCount() + kPatienceMs;
    while (GetTickCount() < deadline) {
        const HWND popup = GetWindow(owner, GW_ENABLEDPOPUP);
        if (popup != nullptr && popup != owner && IsWindowVisible(popup)) {
            return popup;
        }
        Sleep(50);
    }
    return nullptr;
}

HWND WaitForMainWindow(DWORD process) {
    const DWORD deadline = GetTickCount() + kPatienceMs;
    while (GetTickCount() < deadline) {
        for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", nullptr); window != nullptr;
             window = FindWindowExA(nullptr, window, "#32770", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char text[128] = {};
            GetDlgItemTextA(window, ulvren::CONTROL_CAPACITY_FIELD, text, sizeof text);
            // Shown once the first detection has put its text there.
            if (owner == process && text[0] != '\0') {
                return window;
            }
        }
        Sleep(50);
    }
    return nullptr;
}

bool ShootDialog(HWND main, int button, const std::string& path) {
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    const HWND dialog = WaitForDialogOver(main);
    if (dialog == nullptr) {
        return false;
    }
    Settle(dialog);
    const bool saved = SaveWindow(dialog, path);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    const DWORD deadline = GetTickCount() + kPatienceMs;
    while (IsWindow(dialog) && GetTickCount() < deadline) {
        Sleep(50);
    }
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: ulvren_screenshot_driver TOOL.exe OUT_PREFIX\n");
        return 2;
    }
    const std::string prefix = argv[2];
    std::string command = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start %s\n", argv[1]);
        return 1;
    }
    WaitForInputIdle(process.hProcess, kPatienceMs);
    const HWND main = WaitForMainWindow(process.dwProcessId);
    bool ok = main != nullptr;
    if (ok) {
        Settle(main);
        ok = SaveWindow(main, prefix + "-main.bmp") &&
             ShootDialog(main, ulvren::CONTROL_LOGIN_BUTTON, prefix + "-login.bmp") &&
             ShootDialog(main, ulvren::CONTROL_CHANGE_PASSWORD_BUTTON,
                         prefix + "-change-password.bmp");
        PostMessageA(main, WM_CLOSE, 0, 0);
    }
    WaitForSingleObject(process.hProcess, kPatienceMs);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!ok) {
        std::fprintf(stderr, "a window did not come up\n");
    }
    return ok ? 0 : 1;
}
