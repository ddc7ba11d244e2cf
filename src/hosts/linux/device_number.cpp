#include "hosts/linux/device_number.h"

#include <charconv>

namespace ulvren {
namespace {

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n";
    const auto first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(kSpace);
    return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<DeviceNumber> ParseDeviceNumber(std::string_view text) {
    text = Trim(text);
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    DeviceNumber number;
    const char* const major_end = text.data() + colon;
    const auto major = std::from_chars(text.data(), major_end, number.major);
    const char* const end = text.data() + text.size();
    const auto minor = std::from_chars(major_end + 1, end, number.minor);
    if (major.ec != std::errc{} || major.ptr != major_end || minor.ec != std::errc{} ||
        minor.ptr != end) {
        return std::nullopt;
    }
    return number;
}

}  // namespace ulvren
