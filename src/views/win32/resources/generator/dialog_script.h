#pragma once

#include <string>

#include "ui/dialog_templates.h"

namespace ulvren {

// The DIALOGEX statement of `dialog` for the resource compiler, which reads it as UTF-8
// (`#pragma code_page(65001)`) after <windows.h> and <commctrl.h>: the dialog's frame, size,
// caption and font, then every control as a CONTROL statement with its class and whole style
// spelled out, in the table's order, which is the tab order.
std::string DialogScript(const DialogTemplate& dialog);

}  // namespace ulvren
