#pragma once

#include <mutex>
#include <ostream>
#include <vector>

#include "cli/messages.h"
#include "cli/progress_line.h"
#include "operations/shared_window_state.h"
#include "operations/worker_events.h"
#include "text/ui_language.h"

namespace ulvren::cli {

// What each status shows, in the user's language. Statuses that only refresh the window print
// nothing, except that a failed open prints the operating system's reason, and that a detection
// the user asked for prints what the window's fields would show.
enum class DetectionReport { Silent, Show };

// The command line's window: statuses are printed as they arrive; there are no controls. A
// format's progress line, when there is one, is ended before a status prints.
class CliWindow final : public WorkerEventSink {
  public:
    CliWindow(const SharedWindowState& state, UiLanguage language, std::ostream& out,
              std::ostream& err, ProgressLine& progress);

    void SetDetectionReport(DetectionReport report);

    void Deliver(const WorkerEvent& event) override;

    std::vector<int> Statuses() const;
    bool Saw(int status) const;
    // How many statuses have come; whether `status` came after the first `from` of them.
    std::size_t StatusCount() const;
    bool SawSince(std::size_t from, int status) const;

    // What a detection prints of a recorder, for one found beside the first: its capacity, disk
    // type and device path, as the first one's statuses print them.
    void PrintRecorder(const FoundRecorder& recorder);
    // The line that names a recorder's device path.
    void PrintDevicePath(const std::string& path);

  private:
    void Show(const StatusEvent& event);
    void PrintDetection(OperationStatus status);
    void PrintCapacity(const std::string& capacity_text);
    void PrintDiskType(int index);
    std::string Text(unsigned id) const;
    // Why the host failed: the catalogue's words for a lack of rights, else the host's own.
    std::string Reason(const HostError& error) const;

    const SharedWindowState& state_;
    UiLanguage language_;
    std::ostream& out_;
    Messages messages_;
    ProgressLine& progress_;
    // The lack of rights is said once, however many drives could not be opened for it.
    bool told_about_rights_ = false;
    mutable std::mutex mutex_;
    DetectionReport detection_report_ = DetectionReport::Silent;
    std::vector<int> statuses_;
    // The wait for another program is said once per run.
    bool told_about_waiting_ = false;
};

}  // namespace ulvren::cli
