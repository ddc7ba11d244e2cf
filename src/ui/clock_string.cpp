#include "ui/clock_string.h"

#include <charconv>
#include <cstdio>

namespace ulvren {
namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<int> Digits(std::string_view text, std::size_t offset, std::size_t count) {
    int value = 0;
    const char* first = text.data() + offset;
    const auto [end, code] = std::from_chars(first, first + count, value);
    if (code != std::errc{} || end != first + count || *first == '-' || *first == '+') {
        return std::nullopt;
    }
    return value;
}

}  // namespace

bool IsValidDateTime(const LocalDateTime& time) {
    return time.year >= 1 && time.year <= 9999 && time.month >= 1 && time.month <= 12 &&
           time.day >= 1 && time.day <= DaysInMonth(time.year, time.month) && time.hour >= 0 &&
           time.hour <= 23 && time.minute >= 0 && time.minute <= 59 && time.second >= 0 &&
           time.second <= 59;
}

std::optional<std::string> BuildClockString(const LocalDateTime& time, TimeStamp stamp) {
    if (!IsValidDateTime(time)) {
        return std::nullopt;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
    return std::string(text) + (stamp == TimeStamp::Show ? "Y" : "N");
}

std::optional<LocalDateTime> ParseDateTime(std::string_view text) {
    // YYYY-MM-DDTHH:MM:SS
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' ||
        (text[10] != 'T' && text[10] != ' ') || text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    const auto year = Digits(text, 0, 4);
    const auto month = Digits(text, 5, 2);
    const auto day = Digits(text, 8, 2);
    const auto hour = Digits(text, 11, 2);
    const auto minute = Digits(text, 14, 2);
    const auto second = Digits(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second) {
        return std::nullopt;
    }
    const LocalDateTime time{*year, *month, *day, *hour, *minute, *second};
    if (!IsValidDateTime(time)) {
        return std::nullopt;
    }
    return time;
}

std::string FormatCurrentTimeText(const LocalDateTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

}  // namespace ulvren
