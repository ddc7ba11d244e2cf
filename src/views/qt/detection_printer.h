#pragma once

#include <QObject>
#include <ostream>
#include <string>
#include <vector>

#include "views/qt/main_window_view.h"

namespace ulvren::views::qt {

// For scripts that watch the window (ulvren-tool --print-detections): prints the capacity field
// as a line whenever what it says changes, as detections after disks come and go fill it, and
// the text of every message box the window shows. With several recorders plugged in it prints
// each recorder's item in the list (device path and capacity) whenever the list changes.
class DetectionPrinter final : public QObject {
    Q_OBJECT

  public:
    DetectionPrinter(QtMainWindowView& window, std::ostream& out);

  private:
    void PrintIfChanged();

    QtMainWindowView& window_;
    std::ostream& out_;
    std::string last_;
    std::vector<std::string> last_recorders_;
};

}  // namespace ulvren::views::qt
