// ulvren-authorize: lets this computer's seated users use the recorder, or takes that back.
// Started as root through pkexec ("ulvren authorize" / "ulvren deauthorize"); from its caller it
// takes only the choice between "authorize" (with "--clock-on-plug" or without) and "revoke".
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "device/usb_disk.h"
#include "host/host.h"
#include "hosts/linux/authorize/exit_status.h"
#include "hosts/linux/authorize/rule_directory.h"
#include "hosts/linux/authorize/seat_access.h"
#include "hosts/linux/authorize/set_clock_rule.h"
#include "hosts/linux/authorize/system_programs.h"
#include "hosts/linux/authorize/udev_rule.h"
#include "hosts/linux/authorize/usb_disk_identity.h"
#include "hosts/linux/linux_host.h"

using namespace ulvren;
using namespace ulvren::authorize;

namespace {

constexpr const char* kProgram = "ulvren-authorize: ";
constexpr const char* kSysfs = "/sys";
// How long a disk's session may keep the helper waiting for the disk's lock.
constexpr auto kLockWait = std::chrono::seconds(30);

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

// A descriptor that closes itself.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

// Opens the node `name` under /dev, only when it is the device `number` ("8:16") says sysfs gave
// it.
bool OpenNode(Descriptor& node, const std::string& name, int flags, const std::string& number) {
    node.fd = ::open(("/dev/" + name).c_str(), flags | O_CLOEXEC | O_NOFOLLOW);
    struct stat status {};
    return node.fd >= 0 && ::fstat(node.fd, &status) == 0 &&
           (S_ISBLK(status.st_mode) || S_ISCHR(status.st_mode)) &&
           std::to_string(major(status.st_rdev)) + ":" + std::to_string(minor(status.st_rdev)) ==
               number;
}

// The exclusive flock that every session of the tool holds on the disk node while it talks to the
// device: an identify never lands inside another session (between a password check and the new
// password of a change).
bool TakeDiskLock(int fd) {
    const auto until = std::chrono::steady_clock::now() + kLockWait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

// Sends the identify command to `disk` through its generic node alone, under the disk's lock, and
// tells whether it answered as the recorder. The identity that the rule will name is read again
// afterwards: a disk whose nodes or USB device changed meanwhile (another device plugged in under
// the same names) is left alone.
bool AnswersAsRecorder(const UsbDiskIdentity& disk) {
    const std::string name = "/dev/" + disk.block_name;
    Descriptor generic;
    Descriptor block;
    if (!OpenNode(generic, disk.generic_name, O_RDWR, disk.generic_number) ||
        !OpenNode(block, disk.block_name, O_RDONLY, disk.block_number)) {
        std::cerr << kProgram << "skipped " << name << ": it changed before it could be asked\n";
        return false;
    }
    if (!TakeDiskLock(block.fd)) {
        std::cerr << kProgram << "skipped " << name << ": another program keeps it busy\n";
        return false;
    }
    bool answered = false;
    {
        LinuxHost host;
        ScopedHost installed(host);
        CUsbDisk device;
        // The descriptor's own file, opened again: the identify reaches the node checked above.
        const DeviceHandle handle =
            device.OpenDevice("/proc/self/fd/" + std::to_string(generic.fd));
        answered = handle != kInvalidDeviceHandle && device.IdentifyDevice(handle) != 0;
        device.CloseDevice(handle);
    }
    if (answered && UsbMassStorageDisk(kSysfs, disk.block_name) != disk) {
        std::cerr << kProgram << "skipped " << name << ": another device took its place\n";
        return false;
    }
    return answered;
}

// The USB disks that answer the identify command, each asked once.
std::vector<UsbDiskIdentity> AnsweringRecorders() {
    std::string error;
    if (!LoadScsiGenericDriver(error)) {
        std::cerr << kProgram << error << '\n';
    }
    std::vector<UsbDiskIdentity> recorders;
    for (const UsbDiskIdentity& disk : UsbMassStorageDisks(kSysfs)) {
        if (disk.generic_name.empty()) {
            std::cerr << kProgram << "skipped /dev/" << disk.block_name
                      << ": it has no SCSI generic node to be asked through\n";
        } else if (AnswersAsRecorder(disk)) {
            recorders.push_back(disk);
        }
    }
    return recorders;
}

int Trigger(const std::vector<std::string>& nodes) {
    std::string error;
    if (!nodes.empty() && !TriggerChange(nodes, error)) {
        std::cerr << kProgram << error << "; the change applies when the recorder is plugged in "
                  << "again\n";
        return kUdevNotTold;
    }
    return kDone;
}

int Report(const std::vector<std::string>& problems, const std::vector<std::string>& notes) {
    for (const std::string& note : notes) {
        std::cout << note << '\n';
    }
    for (const std::string& problem : problems) {
        std::cerr << kProgram << problem << '\n';
    }
    return problems.empty() ? kDone : kAccessNotAsRuled;
}

int Authorize(bool clock_on_plug) {
    const std::vector<UsbDiskIdentity> recorders = AnsweringRecorders();
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
    if (const int status = Trigger(NodesOf(recorders)); status != kDone) {
        return status;
    }
    // Said only once the seated user really has both nodes.
    std::vector<std::string> problems;
    std::vector<std::string> notes;
    CheckSeatedAccess(NodesOf(recorders), problems, notes);
    return Report(problems, notes);
}

int Revoke() {
    std::string error;
    auto directory = RuleDirectory::Open(error);
    // The nodes tagged now: those that lose the tag with the rules are the ones to take back.
    std::vector<std::string> tagged;
    const std::vector<std::string> nodes = NodesOf(UsbMassStorageDisks(kSysfs));
    for (const std::string& node : nodes) {
        std::string unseen;
        const auto seating = SeatingOf(node, unseen);
        if (seating && seating->uaccess) {
            tagged.push_back(node);
        }
    }
    const auto removed = directory ? directory->RemoveRecorderRules(error) : std::nullopt;
    if (!removed) {
        std::cerr << kProgram << error << '\n';
        return kRulesNotChanged;
    }
    for (const std::string& name : *removed) {
        std::cout << "removed " << directory->Path() << '/' << name << '\n';
    }
    if (removed->empty() || tagged.empty()) {
        return kDone;
    }
    // The plugged-in USB disks lose the tag now (no command is sent to them). logind never takes
    // an ACL from a node without the tag, so the helper does.
    if (const int status = Trigger(nodes); status != kDone) {
        return status;
    }
    std::vector<std::string> problems;
    TakeBackUntaggedAccess(tagged, problems);
    return Report(problems, {});
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
