#pragma once

#include <string>

namespace ulvren {

// Tells the file system that the new, empty file at `path` is sparse, where it has to be told,
// so that sizing the file takes no disk space until its sectors are written. False when that
// failed; the file still serves, it only takes its whole size. Each platform supplies it.
bool MarkFileSparse(const std::string& path);

}  // namespace ulvren
