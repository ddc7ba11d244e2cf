// ulvren-demo: the recorder tool's window over a simulated recorder, with a second window that
// plugs and unplugs the recorder and a USB disk that is no recorder.
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>
#include <array>
#include <iostream>

#include "hosts/simulated/demo_machine.h"
#include "views/qt/demo/device_panel.h"
#include "views/qt/demo/startup_check.h"
#include "views/qt/program_arguments.h"
#include "views/qt/tool_app.h"

using namespace ulvren;

namespace {

constexpr std::string_view kCheck = "--check";
constexpr views::qt::ProgramDescription kProgram{
    "ulvren-demo",
    "usage: ulvren-demo [--check]\n"
    "  The recorder tool's window over a simulated recorder. The recorder's image and settings\n"
    "  live in $XDG_DATA_HOME/ulvren-demo (~/.local/share/ulvren-demo by default).\n"
    "  --check        start, detect the recorder, print what the window shows, and exit\n"
    "                 (0 when the recorder was found)\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n",
    ULVREN_VERSION};

// Shows the panel beside the main window once the window manager has framed that, so that both
// frames are known; without a window manager, nothing frames it and a second is waited.
void ShowBesideWhenFramed(views::qt::DevicePanel& panel, const QWidget& window, int tries = 20) {
    if (window.frameGeometry() != window.geometry() || tries == 0) {
        panel.ShowBeside(window);
        return;
    }
    QTimer::singleShot(
        50, &panel, [&panel, &window, tries] { ShowBesideWhenFramed(panel, window, tries - 1); });
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = views::qt::AnswerHelpOrVersion(kProgram, argc, argv, std::cout)) {
        return *status;
    }
    views::qt::CToolApp app(argc, argv);
    const std::vector<std::string> arguments = views::qt::ArgumentsLeftByToolkit();
    constexpr std::array<std::string_view, 1> kFlags{kCheck};
    if (const auto status =
            views::qt::RefuseUnknownArguments(kProgram, arguments, kFlags, std::cerr)) {
        return *status;
    }
    const bool check = !arguments.empty();

    const QString directory =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
        QStringLiteral("/ulvren-demo");
    if (!QDir().mkpath(directory)) {
        std::cerr << "ulvren-demo: cannot create " << directory.toStdString() << '\n';
        return 2;
    }
    SimulatedMachineError error;
    std::optional<DemoMachine> demo = OpenDemoMachine(directory.toStdString(), error);
    if (!demo) {
        std::cerr << "ulvren-demo: " << error.text << '\n';
        return error.kind == SimulatedMachineError::Kind::BadOptions ? 2 : 3;
    }
    SimulatedMachine* machine = &demo->machine;
    ScopedHost installed(*machine->host);
    views::qt::DevicePanel panel(*machine->host, SimulatedMachine::kRecorderRoot,
                                 QString::fromStdString(demo->image_path),
                                 DemoMachine::kSecondRecorderRoot);

    int exit_code = 0;
    // The panel's plugs and unplugs reach the window as the simulated machine's notices.
    app.Run(machine->host->DeviceChanges(),
            [&](CToolDlg& logic, views::qt::QtMainWindowView& window) {
                if (check) {
                    new views::qt::StartupCheck(window, logic, std::cout, exit_code);
                    return;
                }
                ShowBesideWhenFramed(panel, window);
            });
    return exit_code;
}
