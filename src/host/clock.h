#pragma once

namespace ulvren {

// A local date and time as the user or the host clock gives it.
struct LocalDateTime {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;    // 1 to 31
    int hour = 0;   // 0 to 23
    int minute = 0;
    int second = 0;

    bool operator==(const LocalDateTime&) const = default;
};

// Where the current local time comes from: the platform's clock in the programs, a clock that a
// test sets in the tests.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() const = 0;
};

}  // namespace ulvren
