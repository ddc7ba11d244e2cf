#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ulvren::views::win32 {

// The executable's file name without its folder and extension ("UlvrenTool"), which captions
// every message box.
std::string ExecutableName();

// A modal box owned by `owner` with `text` (UTF-8), an OK button and the exclamation icon
// (MessageBoxA, MB_OK | MB_ICONEXCLAMATION), captioned with the executable's name; returns when
// the user closed it.
void ShowExclamationBox(HWND owner, std::string_view text);

}  // namespace ulvren::views::win32
