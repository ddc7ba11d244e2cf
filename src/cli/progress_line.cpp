#include "cli/progress_line.h"

#include <string>

#include "cli/messages.h"
#include "text/text_ids.h"

namespace ulvren::cli {
namespace {

constexpr std::uint64_t kSectorBytes = 512;
constexpr std::uint64_t kMegabyte = 1024 * 1024;

// Sectors as megabytes with one decimal: "15.9".
std::string Megabytes(std::uint64_t sectors) {
    const std::uint64_t tenths = sectors * kSectorBytes * 10 / kMegabyte;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

}  // namespace

void ProgressLine::Update(std::uint64_t written, std::uint64_t total, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (total == 0) {
        return;
    }
    const std::uint64_t percent = written * 100 / total;
    const bool done = written >= total;
    const bool due =
        !shown_percent_ || (percent != *shown_percent_ && now - shown_at_ >= kInterval);
    if (!done && !due) {
        return;
    }
    shown_at_ = now;
    Show(percent, written, total);
    if (done) {
        err_ << '\n' << std::flush;
        open_ = false;
    }
}

void ProgressLine::End() {
    std::lock_guard lock(mutex_);
    if (open_) {
        err_ << '\n' << std::flush;
        open_ = false;
    }
}

void ProgressLine::Show(std::uint64_t percent, std::uint64_t written, std::uint64_t total) {
    shown_percent_ = percent;
    open_ = true;
    err_ << '\r'
         << FillText(TEXT_CLI_FORMAT_PROGRESS, language_,
                     {std::to_string(percent), Megabytes(written), Megabytes(total)})
         << std::flush;
}

}  // namespace ulvren::cli
