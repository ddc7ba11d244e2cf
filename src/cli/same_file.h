#pragma once

#include <string>

namespace ulvren::cli {

// True when the two paths name the same file: one existing file reached through any link (hard
// or symbolic), or, where a path does not exist yet, the same place once the links on the way to
// it are followed, so that opening one would create or cut the other.
bool NamesSameFile(const std::string& a, const std::string& b);

}  // namespace ulvren::cli
