// UlvrenTool.exe: the main window over the system's host.
#include <windows.h>

#include "host/platform.h"
#include "operations/device_mutex.h"
#include "ui/system_language.h"
#include "views/win32/tool_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace ulvren;
    const std::unique_ptr<Host> host = platform::OpenSystemHost();
    ScopedHost installed(*host);
    return views::win32::CToolApp(instance).Run(
        {OpenDeviceMutex(), &platform::SystemClock(), &SystemUiLanguage});
}
