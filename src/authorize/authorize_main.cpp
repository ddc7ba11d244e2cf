// ulvren-authorize: lets this computer's seated users use the recorder, or takes that back.
// Started as root through pkexec ("ulvren authorize" / "ulvren deauthorize"); from its caller it
// takes only the choice between "authorize" (and "authorize --clock-on-plug") and "revoke".
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "device/usb_disk.h"
#include "host/host.h"
#include "hosts/linux/authorize/exit_status.h"
#include "hosts/linux/authorize/rule_directory.h"
#include "hosts/linux/authorize/set_clock_rule.h"
#include "hosts/linux/authorize/udev_rule.h"
#include "hosts/linux/authorize/udev_trigger.h"
#include "hosts/linux/authorize/usb_disk_identity.h"
#include "hosts/linux/linux_host.h"

using namespace ulvren;
using namespace ulvren::authorize;

namespace {

constexpr const char* kProgram = "ulvren-authorize: ";

std::vector<std::string> NodesOf(const std::vector<UsbDiskIdentity>& disks) {
    std::vector<std::string> nodes;
    for (const UsbDiskIdentity& disk : disks) {
        nodes.push_back("/dev/" + disk.block_name);
        if (!disk.generic_name.empty()) {
            nodes.push_back("/dev/" + disk.generic_name);
        }
    }
    return nodes;
}

// The USB disks that answer the identify command, each asked once.
std::vector<UsbDiskIdentity> AnsweringRecorders(const std::vector<UsbDiskIdentity>& disks) {
    LinuxHost host;
    ScopedHost installed(host);
    std::vector<UsbDiskIdentity> recorders;
    for (const UsbDiskIdentity& disk : disks) {
        CUsbDisk device;
        const DeviceHandle handle = device.OpenDevice("/dev/" + disk.block_name);
        if (handle != kInvalidDeviceHandle && device.IdentifyDevice(handle) != 0) {
            recorders.push_back(disk);
        }
        device.CloseDevice(handle);
    }
    return recorders;
}

int Trigger(const std::vector<UsbDiskIdentity>& disks) {
    std::string error;
    if (!disks.empty() && !TriggerChange(NodesOf(disks), error)) {
        std::cerr << kProgram << error << "; the change applies when the recorder is plugged in "
                  << "again\n";
        return kUdevNotTold;
    }
    return kDone;
}

int Authorize(bool clock_on_plug) {
    const std::vector<UsbDiskIdentity> recorders = AnsweringRecorders(UsbMassStorageDisks("/sys"));
    if (recorders.empty()) {
        std::cerr << kProgram << "no recorder answered; nothing was changed\n";
        return kNoRecorder;
    }
    std::string error;
    auto directory = RuleDirectory::Open(error);
    if (!directory) {
        std::cerr << kProgram << error << '\n';
        return kRulesNotChanged;
    }
    for (const UsbDiskIdentity& recorder : recorders) {
        const std::string name = UdevRuleFileName(recorder);
        if (!directory->Write(name, UdevRuleText(recorder, clock_on_plug), error)) {
            std::cerr << kProgram << error << '\n';
            return kRulesNotChanged;
        }
        std::cout << "authorized the recorder at /dev/" << recorder.block_name << ": "
                  << directory->Path() << '/' << name << '\n';
    }
    return Trigger(recorders);
}

int Revoke() {
    std::string error;
    auto directory = RuleDirectory::Open(error);
    const auto removed = directory ? directory->RemoveRecorderRules(error) : std::nullopt;
    if (!removed) {
        std::cerr << kProgram << error << '\n';
        return kRulesNotChanged;
    }
    for (const std::string& name : *removed) {
        std::cout << "removed " << directory->Path() << '/' << name << '\n';
    }
    // The plugged-in USB disks lose the tag now (no command is sent to them); the ACL that logind
    // gave goes with the next plug or session change.
    return removed->empty() ? kDone : Trigger(UsbMassStorageDisks("/sys"));
}

}  // namespace

int main(int argc, char** argv) {
    // Nothing of the caller's environment reaches what this program does or starts.
    ::clearenv();
    ::umask(022);
    const bool clock_on_plug =
        argc == 3 && std::strcmp(argv[1], "authorize") == 0 && argv[2] == kClockOnPlugArgument;
    if (!clock_on_plug && (argc != 2 || (std::strcmp(argv[1], "authorize") != 0 &&
                                         std::strcmp(argv[1], "revoke") != 0))) {
        std::cerr << "usage: ulvren-authorize authorize [--clock-on-plug] | revoke\n";
        return kUsage;
    }
    if (::geteuid() != 0) {
        std::cerr << kProgram << "must run as root (ulvren authorize starts it through pkexec)\n";
        return kNotRoot;
    }
    return std::strcmp(argv[1], "authorize") == 0 ? Authorize(clock_on_plug) : Revoke();
}
