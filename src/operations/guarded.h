#pragma once

#include <mutex>
#include <utility>

namespace ulvren {

// One value that several threads read and write: every access takes the value's own lock, and
// reads hand out copies, so no read overlaps a write.
template <typename T>
class Guarded {
  public:
    Guarded() = default;
    explicit Guarded(T initial) : value_(std::move(initial)) {}
    Guarded(const Guarded&) = delete;
    Guarded& operator=(const Guarded&) = delete;

    T Get() const {
        std::lock_guard lock(mutex_);
        return value_;
    }

    void Set(T value) {
        std::lock_guard lock(mutex_);
        value_ = std::move(value);
    }

  private:
    mutable std::mutex mutex_;
    T value_{};
};

}  // namespace ulvren
