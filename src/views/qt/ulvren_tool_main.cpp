// ulvren-tool: the recorder tool's window, on this computer's disks.
#include <QCoreApplication>
#include <array>
#include <iostream>
#include <memory>

#include "host/host.h"
#include "host/platform.h"
#include "views/qt/detection_printer.h"
#include "views/qt/program_arguments.h"
#include "views/qt/tool_app.h"

using namespace ulvren;

namespace {

constexpr std::string_view kPrintDetections = "--print-detections";
constexpr views::qt::ProgramDescription kProgram{
    "ulvren-tool",
    "usage: ulvren-tool [--print-detections]\n"
    "  The recorder tool's window: finds the recorder among this computer's removable disks,\n"
    "  again whenever a disk comes or goes, and formats it, logs in, changes its password and\n"
    "  sets its clock.\n"
    "  --print-detections  also print the capacity field on standard output whenever a\n"
    "                      detection changes it (with several recorders, first a line for\n"
    "                      each: its device path and capacity)\n"
    "  -h, --help          show this help and exit\n"
    "  -V, --version       show the version and exit\n",
    ULVREN_VERSION};

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = views::qt::AnswerHelpOrVersion(kProgram, argc, argv, std::cout)) {
        return *status;
    }
    views::qt::CToolApp app(argc, argv);
    const std::vector<std::string> arguments = views::qt::ArgumentsLeftByToolkit();
    constexpr std::array<std::string_view, 1> kFlags{kPrintDetections};
    if (const auto status =
            views::qt::RefuseUnknownArguments(kProgram, arguments, kFlags, std::cerr)) {
        return *status;
    }
    const bool print_detections = !arguments.empty();

    const std::unique_ptr<Host> host = platform::OpenSystemHost();
    ScopedHost installed(*host);
    // Where the system tells of no disks coming and going, the window detects once, at start-up.
    const std::unique_ptr<DeviceChangeSource> device_changes = platform::OpenDeviceChangeSource();
    app.Run(*device_changes, [&](CToolDlg&, views::qt::QtMainWindowView& window) {
        if (print_detections) {
            new views::qt::DetectionPrinter(window, std::cout);
        }
    });
    return 0;
}
