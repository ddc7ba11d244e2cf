#pragma once

#include <windows.h>

namespace ulvren::views::win32 {

// Gives every caption of `dialog` room in the dialog's font, once its texts are on: a static
// text, button, check box or radio button whose caption does not fit grows by what it lacks, the
// controls that stand wholly to its right move right by as much (by the most that any control to
// their left needs, so a column of labels moves its neighbours once), and the group boxes around
// it and the dialog grow with it: the controls keep their order and places relative to each
// other. A caption that fits changes nothing. The templates were drawn for the Chinese captions;
// English ones are wider.
void FitCaptions(HWND dialog);

}  // namespace ulvren::views::win32
