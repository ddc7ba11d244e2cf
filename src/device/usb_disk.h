#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "format/fat32_volume_writer.h"
#include "host/device_handle.h"

namespace ulvren {

// The device command object: the recorder's commands, each taking the device handle first.
//
// Its one piece of state is the 512-byte buffer into which every vendor command receives its
// reply. A worker makes one on its own stack; an instance is never shared between threads. The
// commands write into the process-wide command templates, so callers hold the device mutex.
//
// Every command returns non-zero for success and 0 for failure; out-values are set to 0 before
// anything is tried.
class CUsbDisk {
  public:
    static constexpr std::size_t kReplyBufferSize = 512;

    CUsbDisk() = default;
    virtual ~CUsbDisk() = default;
    CUsbDisk(const CUsbDisk&) = delete;
    CUsbDisk& operator=(const CUsbDisk&) = delete;

    // Volume access.
    DeviceHandle OpenDevice(const std::string& device_path);
    void CloseDevice(DeviceHandle handle);
    int LockVolume(DeviceHandle handle);
    int UnlockVolume(DeviceHandle handle);
    int ReleaseFileSystems(DeviceHandle handle);
    int DismountVolume(DeviceHandle handle);

    // Identification and discovery.
    int IdentifyDevice(DeviceHandle handle);
    // The device path of the first removable drive that identifies, or the empty string. Every
    // drive the host lists is examined, in its order.
    std::string FindDevice();
    // The device paths of every removable drive that identifies, in the host's drive order; each
    // drive is asked once. The first is FindDevice's.
    std::vector<std::string> FindDevices();

    // Information and settings.
    int GetCapacity(DeviceHandle handle, std::uint32_t& sector_count);
    int GetDiskType(DeviceHandle handle, std::uint8_t& disk_type);
    int SetDiskType(DeviceHandle handle, std::uint8_t disk_type);
    int SetClock(DeviceHandle handle, const std::string& clock);

    // Passwords.
    int Login(DeviceHandle handle, std::uint8_t mode, const std::string& password);
    int VerifyPassword(DeviceHandle handle, const std::string& password);
    int SetPassword(DeviceHandle handle, const std::string& password);

    // Lays a fresh FAT32 file system over the whole device: the capacity command gives its size,
    // the FAT32 writer its sectors. `progress`, when given, hears of every write.
    // `capacity_outside_fat32`, when given, is set when the format wrote nothing because the
    // device reported a size that FAT32 with 4 KiB clusters cannot cover (fat32::HoldsFat32), and
    // cleared otherwise.
    int FormatFat32(DeviceHandle handle, const fat32::WriteProgress& progress = {},
                    bool* capacity_outside_fat32 = nullptr);

    const std::array<std::uint8_t, kReplyBufferSize>& ReplyBuffer() const { return reply_; }

  private:
    // Zero-fills the reply buffer, sends the opcode's 16-byte template with an 8-byte data-in
    // transfer and tests the length and the echoed opcode. True when both hold.
    bool ExchangeTemplate(DeviceHandle handle, std::uint8_t opcode);
    // True when the reply carries "YES" from `offset` on.
    bool ReplyConfirmsAt(std::size_t offset) const;
    // The shared body of the three password commands.
    int SendPasswordCommand(DeviceHandle handle, std::uint8_t opcode, const std::string& password);

    std::array<std::uint8_t, kReplyBufferSize> reply_{};
};

}  // namespace ulvren
