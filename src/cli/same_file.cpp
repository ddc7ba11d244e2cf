#include "cli/same_file.h"

#include <filesystem>
#include <system_error>

namespace ulvren::cli {
namespace {

namespace fs = std::filesystem;

// Where writing to `path` would land: its folders and any chain of symbolic links at its end
// followed, as far as they exist. Links are followed a bounded number of times, as the system does.
fs::path Destination(fs::path path) {
    std::error_code error;
    for (int links = 0; links < 40 && fs::is_symlink(path, error); ++links) {
        const fs::path target = fs::read_symlink(path, error);
        if (error) {
            break;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    const fs::path resolved = fs::weakly_canonical(path, error);
    return error ? fs::absolute(path, error).lexically_normal() : resolved;
}

}  // namespace

bool NamesSameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::equivalent(a, b, error)) {
        return true;
    }
    return Destination(a) == Destination(b);
}

}  // namespace ulvren::cli
