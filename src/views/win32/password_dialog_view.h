#pragma once

#include <windows.h>

#include "ui/dialog_view.h"

namespace ulvren::views::win32 {

// Runs password dialog `template_id` (130 or 131) modally over `owner` (DialogBoxParamW) with
// `logic`: its initialisation, then on OK its OnOk before the dialog closes.
DialogResult RunPasswordDialog(HINSTANCE instance, HWND owner, int template_id, DialogLogic& logic);

}  // namespace ulvren::views::win32
