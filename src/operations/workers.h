#pragma once

#include <cstdint>
#include <stop_token>
#include <string>

#include "operations/shared_window_state.h"

namespace ulvren {

// The five workers. Each runs one device session on the thread that calls it and reports every
// outcome through the window link as soon as it is known; `stop` cancels only the wait for the
// device mutex (a worker inside its session always finishes it).
//
// Statuses posted, in order (codes of OperationStatus):
//   DetectWorker          3; or 1; or (15 or 16), (17 or 18), 2
//   DetectEveryWorker     as DetectWorker
//   FormatWorker          1; or 14; or 13, (4 or 5)
//   SetClockWorker        1; or (11 or 12)
//   ChangePasswordWorker  1; or 6; or (7 or 8)
//   LoginWorker           1; or (9 or 10)
// FormatWorker and LoginWorker dismount the volume before they close it; the others do not.
// FormatWorker then says that it has ended (WorkerNotice::FormatEnded), whatever happened; any
// worker that waits for the device lock behind another program says so once after a second.

// The capacity text of a sector count: whole mebibytes, "8192 MB".
std::string CapacityText(std::uint32_t sector_count);

// The form every worker has.
using Worker = void (*)(SharedWindowState& window, std::stop_token stop);

// Finds the device, stores its path, and reads its capacity and disk type into the members. It
// enables and disables the window's controls itself, before the statuses that follow.
void DetectWorker(SharedWindowState& window, std::stop_token stop);

// Finds every recorder and keeps them in the members' list. The device path stays the recorder it
// names while that one is still found, else it becomes the first found; DetectWorker's statuses and
// control changes follow for that recorder, and the capacity and disk type of each other one are
// read, in drive order, in the same session before STATUS_DETECT_DONE. With one recorder it sends
// what DetectWorker sends.
void DetectEveryWorker(SharedWindowState& window, std::stop_token stop);

// Writes the disk type chosen by the disk-type index, then a fresh FAT32 file system.
void FormatWorker(SharedWindowState& window, std::stop_token stop);

// Sets the device clock from the clock string.
void SetClockWorker(SharedWindowState& window, std::stop_token stop);

// Checks the old password, then sets the new one (the confirmation was compared by the starter).
void ChangePasswordWorker(SharedWindowState& window, std::stop_token stop);

// Logs in to a password disk with the login password.
void LoginWorker(SharedWindowState& window, std::stop_token stop);

}  // namespace ulvren
