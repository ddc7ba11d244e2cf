#include "cli/cli_window.h"

#include <algorithm>

#include "host/host.h"
#include "text/text_catalogue.h"
#include "text/text_ids.h"
#include "ui/status_texts.h"

namespace ulvren::cli {

CliWindow::CliWindow(const SharedWindowState& state, UiLanguage language, std::ostream& out,
                     std::ostream& err)
    : state_(state), language_(language), out_(out), err_(err) {}

void CliWindow::SetDetectionReport(DetectionReport report) {
    std::lock_guard lock(mutex_);
    detection_report_ = report;
}

std::string CliWindow::Text(unsigned id) const {
    return LocalizedTextUtf8(id, language_);
}

void CliWindow::PostStatus(OperationStatus status) {
    std::lock_guard lock(mutex_);
    statuses_.push_back(status);
    if (status == STATUS_OPEN_FAILED) {
        err_ << "ulvren: cannot open " << state_.members.device_path.Get() << ": "
             << CurrentHost().LastErrorText() << '\n';
        return;
    }
    if (status == STATUS_DEVICE_NOT_FOUND) {
        // A drive that could not even be opened may have been the recorder: say why, for example
        // that vendor commands need root.
        if (const std::string reason = CurrentHost().LastErrorText(); !reason.empty()) {
            err_ << "ulvren: " << reason << '\n';
        }
    }
    if (detection_report_ == DetectionReport::Show) {
        PrintDetection(status);
        return;
    }
    if (const auto text = MessageTextFor(status); text && !ShowsInCapacityField(status)) {
        out_ << Text(*text) << '\n';
    } else if (status == STATUS_DEVICE_NOT_FOUND) {
        out_ << Text(TEXT_DEVICE_NOT_FOUND) << '\n';
    }
    out_.flush();
}

void CliWindow::PrintDetection(OperationStatus status) {
    switch (status) {
        case STATUS_DEVICE_NOT_FOUND:
            out_ << Text(TEXT_DEVICE_NOT_FOUND) << '\n';
            break;
        case STATUS_CAPACITY_OK:
            out_ << Text(TEXT_DISK_CAPACITY) << ": " << state_.members.capacity_text.Get() << '\n';
            break;
        case STATUS_CAPACITY_UNKNOWN:
            out_ << Text(TEXT_DISK_CAPACITY) << ": " << Text(TEXT_UNKNOWN_CAPACITY) << '\n';
            break;
        case STATUS_DISK_TYPE_OK: {
            const int index = state_.members.disk_type_index.Get();
            out_ << Text(TEXT_USB_DISK_TYPE_LABEL) << ": ";
            if (index == 0) {
                out_ << Text(TEXT_PUBLIC_DISK) << '\n';
            } else if (index == 1) {
                out_ << Text(TEXT_PASSWORD_DISK) << '\n';
            } else {
                out_ << "? (" << index + 1 << ")\n";
            }
            break;
        }
        case STATUS_DETECT_DONE:
            out_ << "Device: " << state_.members.device_path.Get() << '\n';
            break;
        default:
            break;
    }
    out_.flush();
}

std::vector<int> CliWindow::Statuses() const {
    std::lock_guard lock(mutex_);
    return statuses_;
}

bool CliWindow::Saw(int status) const {
    std::lock_guard lock(mutex_);
    return std::find(statuses_.begin(), statuses_.end(), status) != statuses_.end();
}

}  // namespace ulvren::cli
