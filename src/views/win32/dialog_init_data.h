#pragma once

#include <windows.h>

namespace ulvren::views::win32 {

// Carries out the initialisation data (RT_DLGINIT) of template `template_id` on `dialog`: each
// record's message to its control. The list items' CB_ADDSTRING (0x403 in the data, the 16-bit
// number) is sent as today's CB_ADDSTRING with the item decoded from code page 936, in which
// the template carries it, so that the items show whatever the ANSI code page.
void ExecuteDialogInit(HINSTANCE instance, HWND dialog, int template_id);

}  // namespace ulvren::views::win32
