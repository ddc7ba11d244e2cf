#pragma once

#include <string>

namespace ulvren::platform {

// Tells the file system that the new, empty file at `path` is sparse, where it has to be told
// (NTFS), so that sizing it takes no disk space until its sectors are written. False when that
// failed; the file still serves, it only takes its whole size. Each platform implements it
// (src/hosts/<platform>/); the simulated recorder's image uses it.
bool MarkFileSparse(const std::string& path);

}  // namespace ulvren::platform
