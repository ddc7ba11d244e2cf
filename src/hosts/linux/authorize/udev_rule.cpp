#include "hosts/linux/authorize/udev_rule.h"

#include <cstdint>
#include <cstdio>

#include "hosts/linux/authorize/set_clock_rule.h"

namespace ulvren::authorize {
namespace {

// Longest escaped device string in a file name: a USB string has up to 126 characters, and
// escaped that would pass the 255 bytes a name may have. The hash after it keeps names apart.
constexpr std::size_t kMaxNamePartLength = 96;

bool IsAlphanumeric(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string NamePart(std::string_view text) {
    std::string part;
    for (const char c : text) {
        if (IsAlphanumeric(c)) {
            part += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "_%02x", static_cast<unsigned char>(c));
            part += escaped;
        }
    }
    return part.substr(0, kMaxNamePartLength);
}

// A device string as a udev match value that matches it and nothing looser: udev treats * ? [ ]
// and | as patterns, quotes and backslashes end or escape the value, and bytes outside printable
// ASCII have no place in a rule.
std::string MatchValue(std::string_view text) {
    std::string value;
    for (const char c : text) {
        constexpr std::string_view kPlain = " ._-+:/,()@#";
        value += IsAlphanumeric(c) || kPlain.find(c) != std::string_view::npos ? c : '?';
    }
    return value;
}

// 64-bit FNV-1a of the identity that the rule matches, its fields kept apart by a NUL (which no
// sysfs attribute holds), as 16 hex digits.
std::string IdentityHash(const UsbDiskIdentity& recorder) {
    std::uint64_t hash = 0xcbf29ce484222325;
    const bool inquiry = recorder.serial.empty();
    const std::string_view fields[] = {
        recorder.vendor_id, recorder.product_id, recorder.serial,
        inquiry ? std::string_view(recorder.scsi_vendor) : std::string_view(),
        inquiry ? std::string_view(recorder.scsi_model) : std::string_view()};
    for (const std::string_view field : fields) {
        for (const char c : std::string(field) + '\0') {
            hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3;
        }
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

std::string Quoted(std::string_view value) {
    return "\"" + std::string(value) + "\"";
}

}  // namespace

std::string UdevRuleFileName(const UsbDiskIdentity& recorder) {
    std::string name(kRuleFilePrefix);
    name += recorder.vendor_id + "-" + recorder.product_id + "-";
    name += recorder.serial.empty()
                ? NamePart(recorder.scsi_vendor) + "-" + NamePart(recorder.scsi_model)
                : NamePart(recorder.serial);
    return name + "-" + IdentityHash(recorder) + std::string(kRuleFileSuffix);
}

bool IsRecorderRuleFileName(std::string_view name) {
    return name.size() > kRuleFilePrefix.size() + kRuleFileSuffix.size() &&
           name.starts_with(kRuleFilePrefix) && name.ends_with(kRuleFileSuffix);
}

std::string UdevRuleText(const UsbDiskIdentity& recorder, bool clock_on_plug) {
    const std::string usb =
        "SUBSYSTEMS==\"usb\", ATTRS{idVendor}==" + Quoted(MatchValue(recorder.vendor_id)) +
        ", ATTRS{idProduct}==" + Quoted(MatchValue(recorder.product_id));
    std::string text =
        "# Written by ulvren-authorize: the seated user may open this recorder's disk and SCSI\n"
        "# generic nodes. \"ulvren deauthorize\" removes it.\n"
        "SUBSYSTEM==\"block\", ENV{DEVTYPE}==\"disk\", GOTO=\"ulvren_node\"\n"
        "SUBSYSTEM==\"scsi_generic\", GOTO=\"ulvren_node\"\n"
        "GOTO=\"ulvren_end\"\n"
        "LABEL=\"ulvren_node\"\n";
    if (!recorder.serial.empty()) {
        // The USB device carries all three: one rule matches them on that one parent.
        text += usb + ", ATTRS{serial}==" + Quoted(MatchValue(recorder.serial)) +
                ", TAG+=\"uaccess\"" + SetClockJump(clock_on_plug) + "\n";
    } else {
        // The INQUIRY strings sit on the SCSI device, another parent: udev matches one parent per
        // rule, so the USB match leads on to the SCSI one.
        text += usb + ", GOTO=\"ulvren_usb\"\n";
        text += "GOTO=\"ulvren_end\"\n";
        text += "LABEL=\"ulvren_usb\"\n";
        text += "SUBSYSTEMS==\"scsi\", ATTRS{vendor}==" + Quoted(MatchValue(recorder.scsi_vendor)) +
                ", ATTRS{model}==" + Quoted(MatchValue(recorder.scsi_model)) +
                ", TAG+=\"uaccess\"" + SetClockJump(clock_on_plug) + "\n";
    }
    text += SetClockRuleLines(clock_on_plug);
    text += "LABEL=\"ulvren_end\"\n";
    return text;
}

}  // namespace ulvren::authorize
