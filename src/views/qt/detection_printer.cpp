#include "views/qt/detection_printer.h"

#include "ui/control_ids.h"

namespace ulvren::views::qt {

DetectionPrinter::DetectionPrinter(QtMainWindowView& window, std::ostream& out)
    : QObject(&window), window_(window), out_(out) {
    connect(&window_, &QtMainWindowView::workerEventHandled, this,
            &DetectionPrinter::PrintIfChanged);
}

void DetectionPrinter::PrintIfChanged() {
    const std::string capacity = window_.Text(CONTROL_CAPACITY_FIELD);
    if (capacity.empty() || capacity == last_) {
        return;
    }
    last_ = capacity;
    out_ << capacity << std::endl;
}

}  // namespace ulvren::views::qt
