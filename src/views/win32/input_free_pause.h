#pragma once

#include <chrono>

namespace ulvren::views::win32 {

// Waits `duration` on the window's thread while its windows go on painting: sent messages,
// posted ones and timers are handled as usual, and what the user does with the keyboard or the
// mouse (the close box included) is taken from the queue and dropped. A WM_QUIT met meanwhile is
// posted again when the wait is over.
void PauseWithoutInput(std::chrono::milliseconds duration);

}  // namespace ulvren::views::win32
