#pragma once

#include <mutex>
#include <optional>
#include <string>

namespace ulvren {

// The first failure to read or write one of a simulated recorder's files (its image, its state
// file). The firmware answers such a failure as a device would (MEDIUM ERROR, a refused setting);
// this keeps the reason for whoever runs the machine, so that the run does not end as if only the
// device had said no.
class FileErrorLog {
  public:
    void Note(const std::string& text) {
        std::lock_guard lock(mutex_);
        if (!first_) {
            first_ = text;
        }
    }

    std::optional<std::string> First() const {
        std::lock_guard lock(mutex_);
        return first_;
    }

  private:
    mutable std::mutex mutex_;
    std::optional<std::string> first_;
};

}  // namespace ulvren
