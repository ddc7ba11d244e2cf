#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace ulvren {

// A fresh directory under the system's temporary directory, removed with everything in it when
// the object goes.
class TemporaryDirectory {
  public:
    TemporaryDirectory() {
        std::string name = (std::filesystem::temp_directory_path() / "ulvren-host-XXXXXX").string();
        if (::mkdtemp(name.data()) != nullptr) {
            path_ = name;
        }
    }
    ~TemporaryDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // Writes `text` to the file at `relative`, making its directories first.
    void WriteFile(const std::filesystem::path& relative, const std::string& text) const {
        std::filesystem::create_directories((path_ / relative).parent_path());
        std::ofstream(path_ / relative) << text;
    }

  private:
    std::filesystem::path path_;
};

}  // namespace ulvren
