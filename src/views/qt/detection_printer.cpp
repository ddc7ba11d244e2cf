#include "views/qt/detection_printer.h"

#include "ui/control_ids.h"

namespace ulvren::views::qt {

DetectionPrinter::DetectionPrinter(QtMainWindowView& window, std::ostream& out)
    : QObject(&window), window_(window), out_(out) {
    connect(&window_, &QtMainWindowView::workerEventHandled, this,
            &DetectionPrinter::PrintIfChanged);
    // A box comes up before the window has finished with the event that brought it: the field
    // it has filled by then is printed first.
    connect(&window_, &QtMainWindowView::messageShown, this, [this](const std::string& text) {
        PrintIfChanged();
        out_ << text << std::endl;
    });
}

void DetectionPrinter::PrintIfChanged() {
    // With several recorders, a line for each as the list names it, whenever the list changes.
    const std::vector<std::string> recorders = window_.RecorderItems();
    if (recorders != last_recorders_) {
        last_recorders_ = recorders;
        for (const std::string& recorder : recorders) {
            out_ << recorder << std::endl;
        }
    }
    const std::string capacity = window_.Text(CONTROL_CAPACITY_FIELD);
    if (capacity.empty() || capacity == last_) {
        return;
    }
    last_ = capacity;
    out_ << capacity << std::endl;
}

}  // namespace ulvren::views::qt
