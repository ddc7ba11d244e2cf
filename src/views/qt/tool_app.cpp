#include "views/qt/tool_app.h"

#include "host/platform.h"
#include "operations/device_mutex.h"
#include "ui/system_language.h"
#include "views/qt/dialog_font.h"

namespace ulvren::views {

CToolApp::CToolApp(int& argc, char** argv) : application_(argc, argv) {
    // Message boxes and dialogs in the same face as the main window.
    QApplication::setFont(DialogFont(MainWindowTemplate()));
}

void CToolApp::Run(const Wiring& wire) {
    QtMainWindowView window;
    CToolDlg logic(window, {OpenDeviceMutex(), &platform::SystemClock(), &SystemUiLanguage});
    window.Attach(logic);
    if (wire) {
        wire(logic, window);
    }
    window.Run();
    window.Detach();
}

}  // namespace ulvren::views
