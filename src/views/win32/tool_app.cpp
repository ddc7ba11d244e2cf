#include "views/win32/tool_app.h"

// windows.h first (tool_app.h): commctrl.h needs its types.
#include <commctrl.h>

namespace ulvren::views::win32 {

int CToolApp::Run(CToolDlg::Environment environment, MainWindowObserver* observer) {
    // The three-dimensional look of today's controls: version 6 (the manifest), with the date
    // and time pickers' class.
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                  ICC_STANDARD_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);

    MainWindowDialog view(instance_);
    view.Observe(observer);
    CToolDlg logic(view, std::move(environment));
    // Whatever the modal run ends with, the program ends.
    view.Run(logic);
    return 0;
}

}  // namespace ulvren::views::win32
