#pragma once

#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "text/ui_language.h"

namespace ulvren {

// What the demos' start-up check (`--check`, in either toolkit's demo) prints and concludes, each
// line led by the program's name. The check passes when the first detection finds the recorder;
// every message box is printed, and one that says more than that the window waits for another
// program (the device lock refused, no rights) ends it, failed.
class DemoCheck {
  public:
    // Long enough for a build with sanitizers on a busy machine.
    static constexpr std::chrono::seconds kDeadline{30};

    DemoCheck(std::string_view program, std::ostream& out) : program_(program), out_(out) {}

    // The window has first been shown (painted), `after_ms` after the process started (-1 when
    // that is unknown).
    void Shown(long long after_ms) { shown_after_ms_ = after_ms; }
    // The capacity field as the window shows it now. Once the window has been shown and the field
    // is filled, prints what the window shows and returns the check's exit code (0 when the
    // recorder was found); else, and after the check has ended, nothing.
    std::optional<int> Conclude(std::string_view capacity);
    // A message box the window is about to show, printed at once (a script may wait for it).
    // The exit code when it ends the check, else nothing.
    std::optional<int> BoxShown(std::string_view text, UiLanguage language);
    // No detection within kDeadline: says so; the exit code.
    int Deadline();

  private:
    std::string program_;
    std::ostream& out_;
    std::optional<long long> shown_after_ms_;
    bool concluded_ = false;
};

}  // namespace ulvren
