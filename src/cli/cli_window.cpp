#include "cli/cli_window.h"

#include <algorithm>
#include <utility>

#include "operations/workers.h"
#include "text/text_catalogue.h"
#include "text/text_ids.h"
#include "ui/device_lock_refusal.h"
#include "ui/status_reactions.h"

namespace ulvren::cli {

CliWindow::CliWindow(const SharedWindowState& state, UiLanguage language, std::ostream& out,
                     std::ostream& err, ProgressLine& progress)
    : state_(state),
      language_(language),
      out_(out),
      messages_(err, language),
      progress_(progress) {}

void CliWindow::SetDetectionReport(DetectionReport report) {
    std::lock_guard lock(mutex_);
    detection_report_ = report;
}

std::string CliWindow::Text(unsigned id) const {
    return LocalizedTextUtf8(id, language_);
}

std::string CliWindow::Reason(const HostError& error) const {
    return error.kind == HostErrorKind::AccessDenied ? Text(TEXT_NEEDS_RIGHTS) : error.text;
}

void CliWindow::Deliver(const WorkerEvent& event) {
    if (const auto* notice = std::get_if<NoticeEvent>(&event);
        notice != nullptr && notice->notice == WorkerNotice::WaitingForDeviceLock) {
        std::lock_guard lock(mutex_);
        if (!std::exchange(told_about_waiting_, true)) {
            messages_.Say(TEXT_WAITING_FOR_RECORDER);
        }
        return;
    }
    // The command line has no controls: only statuses show.
    if (const auto* status = std::get_if<StatusEvent>(&event)) {
        std::lock_guard lock(mutex_);
        statuses_.push_back(status->status);
        progress_.End();
        Show(*status);
        out_.flush();
    }
}

void CliWindow::Show(const StatusEvent& event) {
    const OperationStatus status = event.status;
    if (status == STATUS_OPEN_FAILED && event.device_lock_refused) {
        messages_.SayAsIs(DeviceLockRefusalText(event.host_error, language_));
        return;
    }
    if (status == STATUS_OPEN_FAILED) {
        // Before detection has found a path, the reason (the device lock's) stands on its own.
        const std::string path = state_.members.device_path.Get();
        if (path.empty()) {
            messages_.SayAsIs(event.host_error.text);
        } else {
            messages_.Say(TEXT_CLI_CANNOT_OPEN, {path, Reason(event.host_error)});
        }
        return;
    }
    // A drive that could not even be opened may have been the recorder: say why, for example
    // that the user may not use it yet.
    if (status == STATUS_DEVICE_NOT_FOUND) {
        if (event.host_error.kind == HostErrorKind::AccessDenied) {
            if (!told_about_rights_) {
                told_about_rights_ = true;
                messages_.Say(TEXT_NEEDS_RIGHTS);
            }
        } else if (!event.host_error.text.empty()) {
            messages_.SayAsIs(event.host_error.text);
        }
    }
    if (detection_report_ == DetectionReport::Show) {
        PrintDetection(status);
        return;
    }
    // What a window shows in a box is printed; of what it shows in the capacity field, only the
    // detection's "not found", which ends the command.
    const StatusReaction& reaction = ReactionTo(status);
    if (reaction.text &&
        (reaction.display == StatusDisplay::MessageBox || status == STATUS_DEVICE_NOT_FOUND)) {
        out_ << Text(*reaction.text) << '\n';
    }
}

void CliWindow::PrintDetection(OperationStatus status) {
    switch (status) {
        case STATUS_DEVICE_NOT_FOUND:
            out_ << Text(*ReactionTo(status).text) << '\n';
            break;
        case STATUS_CAPACITY_OK:
            PrintCapacity(state_.members.capacity_text.Get());
            break;
        case STATUS_CAPACITY_UNKNOWN:
            PrintCapacity(Text(*ReactionTo(status).text));
            break;
        case STATUS_DISK_TYPE_OK:
            PrintDiskType(state_.members.disk_type_index.Get());
            break;
        case STATUS_DETECT_DONE:
            PrintDevicePath(state_.members.device_path.Get());
            break;
        default:
            break;
    }
}

void CliWindow::PrintCapacity(const std::string& capacity_text) {
    out_ << Text(TEXT_DISK_CAPACITY) << ": " << capacity_text << '\n';
}

void CliWindow::PrintDiskType(int index) {
    out_ << Text(TEXT_USB_DISK_TYPE_LABEL) << ": ";
    if (index == 0) {
        out_ << Text(TEXT_PUBLIC_DISK) << '\n';
    } else if (index == 1) {
        out_ << Text(TEXT_PASSWORD_DISK) << '\n';
    } else {
        // Part of the command line's output format: a type that has no name, as a number.
        out_ << "? (" << index + 1 << ")\n";
    }
}

void CliWindow::PrintDevicePath(const std::string& path) {
    // Part of the command line's output format, in every language, for scripts.
    out_ << "Device: " << path << '\n';
    out_.flush();
}

void CliWindow::PrintRecorder(const FoundRecorder& recorder) {
    std::lock_guard lock(mutex_);
    PrintCapacity(recorder.sector_count ? CapacityText(*recorder.sector_count)
                                        : Text(*ReactionTo(STATUS_CAPACITY_UNKNOWN).text));
    // As for the first recorder, a failed disk-type query prints no line.
    if (recorder.disk_type) {
        PrintDiskType(static_cast<int>(*recorder.disk_type) - 1);
    }
    PrintDevicePath(recorder.path);
}

std::size_t CliWindow::StatusCount() const {
    std::lock_guard lock(mutex_);
    return statuses_.size();
}

bool CliWindow::SawSince(std::size_t from, int status) const {
    std::lock_guard lock(mutex_);
    return std::find(statuses_.begin() + static_cast<std::ptrdiff_t>(from), statuses_.end(),
                     status) != statuses_.end();
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
