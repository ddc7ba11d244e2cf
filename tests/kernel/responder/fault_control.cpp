#include "fault_control.h"

#include <charconv>
#include <map>
#include <optional>
#include <sstream>

namespace ulvren::kernel_test {
namespace {

template <typename Number>
std::optional<Number> ParseNumber(const std::string& text, int base) {
    Number value{};
    const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || code != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<VendorFault> ParseFault(const std::string& word) {
    static const std::map<std::string, VendorFault> faults = {
        {"no-reply", VendorFault::NoReply},       {"refused", VendorFault::Refused},
        {"wrong-echo", VendorFault::WrongEcho},   {"wrong-signature", VendorFault::WrongSignature},
        {"missing-yes", VendorFault::MissingYes},
    };
    const auto it = faults.find(word);
    return it == faults.end() ? std::nullopt : std::optional(it->second);
}

}  // namespace

std::string ApplyControlLine(DeviceFaults& faults, const std::string& line) {
    std::istringstream words(line);
    std::string verb, first, second, extra;
    words >> verb >> first >> second >> extra;
    if (!extra.empty()) {
        return "error: too many words";
    }
    if (verb == "clear" && first.empty()) {
        faults.Clear();
        return "ok";
    }
    if (verb == "vendor") {
        const auto fault = ParseFault(first);
        const auto opcode = ParseNumber<std::uint8_t>(second, 16);
        if (!fault || (!second.empty() && !opcode)) {
            return "error: vendor FAULT [OPCODE]";
        }
        faults.InjectVendorFault(*fault, second.empty() ? std::nullopt : opcode);
        return "ok";
    }
    if ((verb == "fail-writes-from" || verb == "unplug-at-write") && second.empty()) {
        const auto k = ParseNumber<std::uint32_t>(first, 10);
        if (!k || *k == 0) {
            return "error: " + verb + " takes a count from 1";
        }
        if (verb == "fail-writes-from") {
            faults.FailWritesFrom(*k, WriteFailure::MediumError);
        } else {
            faults.UnplugAtWrite(*k);
        }
        return "ok";
    }
    return "error: unknown control line '" + line + "'";
}

}  // namespace ulvren::kernel_test
