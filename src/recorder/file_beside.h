#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ulvren {

// Writes `contents` into a new file in the directory of `path`, under a name that no one else
// uses, created exclusively: never through a file or a link that was already there. For a file
// that is written whole before it is moved or linked into place. The new file's path, or empty
// with `error` set (and nothing left behind).
std::optional<std::string> WriteNewFileBeside(const std::string& path, std::string_view contents,
                                              std::string& error);

// The C library's reason for the last failed call on this thread, in words.
std::string LastCallErrorText();

}  // namespace ulvren
