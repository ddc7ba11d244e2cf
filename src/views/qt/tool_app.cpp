#include "views/qt/tool_app.h"

#include "host/platform.h"
#include "operations/device_mutex.h"
#include "ui/system_language.h"
#include "views/qt/device_change_relay.h"
#include "views/qt/interface_font.h"

namespace ulvren::views::qt {

CToolApp::CToolApp(int& argc, char** argv) : application_(argc, argv) {
    // The desktop's font, with Chinese in a face of the language's glyph forms where one is
    // installed; message boxes and dialogs as the main window.
    UseLanguageFont(SystemUiLanguage());
}

void CToolApp::Run(DeviceChangeSource& device_changes, const Wiring& wire) {
    QtMainWindowView window;
    CToolDlg logic(window, {OpenDeviceMutex(), &platform::SystemClock(), &SystemUiLanguage});
    window.Attach(logic);
    // Gone before the logic is.
    DeviceChangeRelay relay(device_changes, logic);
    if (wire) {
        wire(logic, window);
    }
    window.Run();
    window.Detach();
}

}  // namespace ulvren::views::qt
