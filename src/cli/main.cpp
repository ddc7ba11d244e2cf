// ulvren: the command-line companion of the recorder tool.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/cli_options.h"
#include "device/usb_disk.h"
#include "device/vendor_commands.h"
#include "host/host.h"
#include "host/linux/linux_host.h"
#include "host/simulated/simulated_recorder.h"
#include "host/tracing_host.h"

namespace {

using namespace ulvren;

constexpr int kExitOk = 0;
constexpr int kExitDeviceSaidNo = 1;
constexpr int kExitUsage = 2;

const char* DiskTypeName(std::uint8_t type) {
    switch (type) {
        case DISK_TYPE_PUBLIC:
            return "Public Disk";
        case DISK_TYPE_PASSWORD:
            return "Password Disk";
        default:
            return "Unknown";
    }
}

// Finds the device (or takes --device) and opens it; prints why when it cannot.
std::optional<std::string> ResolveDevicePath(CUsbDisk& disk, const cli::CliOptions& options) {
    if (options.device_path) {
        return *options.device_path;
    }
    std::string path = disk.FindDevice();
    if (path.empty()) {
        std::cout << "Device not found\n";
        return std::nullopt;
    }
    return path;
}

int RunDetect(const cli::CliOptions& options) {
    CUsbDisk disk;
    const auto path = ResolveDevicePath(disk, options);
    if (!path) {
        return kExitDeviceSaidNo;
    }
    const DeviceHandle handle = disk.OpenDevice(*path);
    if (handle == INVALID_HANDLE_VALUE) {
        std::cerr << "ulvren: cannot open " << *path << ": " << CurrentHost().LastErrorText()
                  << '\n';
        return kExitDeviceSaidNo;
    }
    disk.LockVolume(handle);
    std::uint32_t sectors = 0;
    std::uint8_t type = 0;
    const bool capacity_known = disk.GetCapacity(handle, sectors) != 0;
    const bool type_known = disk.GetDiskType(handle, type) != 0;
    disk.UnlockVolume(handle);
    disk.CloseDevice(handle);

    std::cout << "Device: " << *path << '\n';
    std::cout << "Disk Capacity: ";
    if (capacity_known) {
        std::cout << sectors / 2048 << " MB\n";
    } else {
        std::cout << "Unknown capacity\n";
    }
    std::cout << "USB Disk Type: " << (type_known ? DiskTypeName(type) : "Unknown") << '\n';
    return capacity_known && type_known ? kExitOk : kExitDeviceSaidNo;
}

int RunFormat(const cli::CliOptions& options) {
    CUsbDisk disk;
    const auto path = ResolveDevicePath(disk, options);
    if (!path) {
        return kExitDeviceSaidNo;
    }
    const DeviceHandle handle = disk.OpenDevice(*path);
    if (handle == INVALID_HANDLE_VALUE) {
        std::cerr << "ulvren: cannot open " << *path << ": " << CurrentHost().LastErrorText()
                  << '\n';
        return kExitDeviceSaidNo;
    }
    disk.LockVolume(handle);
    const std::uint8_t type =
        *options.disk_type == "password" ? DISK_TYPE_PASSWORD : DISK_TYPE_PUBLIC;
    bool formatted = false;
    if (disk.SetDiskType(handle, type) == 0) {
        std::cout << "Setting the disk type failed\n";
    } else {
        formatted = disk.FormatFat32(handle) != 0;
        std::cout << (formatted ? "Format successfully!" : "Format failed!") << '\n';
    }
    disk.DismountVolume(handle);
    disk.UnlockVolume(handle);
    disk.CloseDevice(handle);
    return formatted ? kExitOk : kExitDeviceSaidNo;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const cli::ParseResult parsed = cli::ParseCommandLine(arguments);
    if (!parsed.options) {
        std::cerr << "ulvren: " << parsed.error << "\n\n" << cli::UsageText();
        return kExitUsage;
    }
    const cli::CliOptions& options = *parsed.options;
    if (options.help) {
        std::cout << cli::UsageText();
        return kExitOk;
    }
    if (options.version) {
        std::cout << "ulvren " << ULVREN_VERSION << '\n';
        return kExitOk;
    }

    std::optional<SimulatedMachine> machine;
    std::unique_ptr<Host> linux_host;
    Host* host = nullptr;
    if (options.simulate_image) {
        std::string error;
        machine = OpenSimulatedMachine(
            {*options.simulate_image, options.size_sectors, options.max_transfer_sectors}, error);
        if (!machine) {
            std::cerr << "ulvren: " << error << '\n';
            return kExitUsage;
        }
        host = machine->host.get();
    } else {
        linux_host = std::make_unique<LinuxHost>();
        host = linux_host.get();
    }

    std::ofstream trace_file;
    std::unique_ptr<TracingHost> tracing;
    if (options.trace_path) {
        trace_file.open(*options.trace_path, std::ios::out | std::ios::trunc);
        if (!trace_file) {
            std::cerr << "ulvren: cannot write trace file " << *options.trace_path << '\n';
            return kExitUsage;
        }
        tracing = std::make_unique<TracingHost>(*host, trace_file);
        host = tracing.get();
    }
    ScopedHost installed(*host);

    if (options.command == "detect") {
        return RunDetect(options);
    }
    return RunFormat(options);
}
