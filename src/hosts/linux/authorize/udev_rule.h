#pragma once

#include <string>
#include <string_view>

#include "hosts/linux/authorize/usb_disk_identity.h"

namespace ulvren::authorize {

// The part of the rules' names that marks them as the tool's. "70" sorts them before systemd's
// 71-seat.rules and 73-seat-late.rules, which turn the uaccess tag into the seated user's ACL.
inline constexpr std::string_view kRuleFilePrefix = "70-ulvren-";
inline constexpr std::string_view kRuleFileSuffix = ".rules";

// "70-ulvren-<idVendor>-<idProduct>-<serial>-<hash>.rules", or with the INQUIRY vendor and model
// in place of a missing serial; every byte outside [A-Za-z0-9] as _<hex>, so that the name is one
// path component whatever the device reports. The readable part is cut at 96 characters; the hash
// (16 hex digits of the whole identity the rule matches) keeps every identity's file its own.
std::string UdevRuleFileName(const UsbDiskIdentity& recorder);

// True for the names that UdevRuleFileName gives (and no other file in the directory).
bool IsRecorderRuleFileName(std::string_view name);

// The rule that tags the recorder's whole-disk block node and its SCSI generic node with
// "uaccess", on every event (change events included: the ACL follows the tags of the latest
// event). It matches the USB idVendor and idProduct and the serial number, or without a serial
// also the INQUIRY vendor and model. A byte of the device's strings that could act as a pattern
// or quote character in a udev match is written as "?", which matches only one character.
// With `clock_on_plug` the generic node also asks systemd for the set-clock service (see
// set_clock_rule.h).
std::string UdevRuleText(const UsbDiskIdentity& recorder, bool clock_on_plug = false);

}  // namespace ulvren::authorize
