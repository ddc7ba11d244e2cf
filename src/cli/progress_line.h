#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <ostream>

#include "text/ui_language.h"

namespace ulvren::cli {

// The one line on a terminal that shows how much of a file system has been written, updated in
// place with a carriage return, as dd's progress does.
class ProgressLine {
  public:
    using Clock = std::chrono::steady_clock;
    // No more often than this, and only when the whole percent has changed.
    static constexpr auto kInterval = std::chrono::milliseconds(250);

    ProgressLine(std::ostream& err, UiLanguage language) : err_(err), language_(language) {}

    // `written` of `total` sectors are on the device at `now`. The last one (all written) always
    // shows, and ends the line.
    void Update(std::uint64_t written, std::uint64_t total, Clock::time_point now);
    // Ends a line still open (a format that failed half-way), so that what follows starts on a
    // line of its own.
    void End();

  private:
    void Show(std::uint64_t percent, std::uint64_t written, std::uint64_t total);

    std::ostream& err_;
    const UiLanguage language_;
    std::mutex mutex_;
    bool open_ = false;
    std::optional<std::uint64_t> shown_percent_;
    Clock::time_point shown_at_{};
};

}  // namespace ulvren::cli
