#include "views/win32/message_box.h"

#include "views/win32/ansi_text.h"

namespace ulvren::views::win32 {

std::string ExecutableName() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, length);
    if (const auto slash = name.find_last_of("\\/"); slash != std::string::npos) {
        name.erase(0, slash + 1);
    }
    if (const auto dot = name.find_last_of('.'); dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

void ShowExclamationBox(HWND owner, std::string_view text) {
    bool representable = false;
    const std::string ansi = Utf8ToAnsi(text, representable);
    const std::string caption = ExecutableName();
    if (representable) {
        MessageBoxA(owner, ansi.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
    } else {
        MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
    }
}

}  // namespace ulvren::views::win32
