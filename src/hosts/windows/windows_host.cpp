#include "hosts/windows/windows_host.h"

#include <windows.h>
// windows.h first: these need its types.
#include <ntddscsi.h>
#include <winioctl.h>

#include <cstddef>
#include <cstring>
#include <optional>
#include <vector>

#include "hosts/windows/drive_letters.h"
#include "hosts/windows/native_pass_through.h"
#include "hosts/windows/system_error_text.h"

namespace ulvren {
namespace {

static_assert(sizeof(DeviceHandle) == sizeof(HANDLE));

// The core's "no device" is the system's invalid handle. The system's macro casts to a pointer,
// which no constant expression may; read in a scope where HANDLE is an integer, it gives the
// value it stands for.
namespace invalid_handle_check {
using HANDLE = DeviceHandle;
constexpr DeviceHandle kSystemValue = INVALID_HANDLE_VALUE;
}  // namespace invalid_handle_check
static_assert(kInvalidDeviceHandle == invalid_handle_check::kSystemValue,
              "the core's no-device value must be the system's INVALID_HANDLE_VALUE");
static_assert(kErrorDeviceNotExist == ERROR_DEV_NOT_EXIST &&
              kErrorSemaphoreTimeout == ERROR_SEM_TIMEOUT && kErrorIoDevice == ERROR_IO_DEVICE &&
              kErrorDeviceNotConnected == ERROR_DEVICE_NOT_CONNECTED &&
              kErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(IOCTL_SCSI_PASS_THROUGH_DIRECT == 0x4D014);
static_assert(FSCTL_LOCK_VOLUME == 0x90018 && FSCTL_UNLOCK_VOLUME == 0x9001C &&
              FSCTL_DISMOUNT_VOLUME == 0x90020);
static_assert(sizeof(SCSI_PASS_THROUGH_DIRECT) == LayoutOf(kBuildAbi).struct_size &&
                  offsetof(SCSI_PASS_THROUGH_DIRECT, DataBuffer) ==
                      LayoutOf(kBuildAbi).data_buffer_offset &&
                  offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoOffset) ==
                      LayoutOf(kBuildAbi).sense_info_offset_offset &&
                  offsetof(SCSI_PASS_THROUGH_DIRECT, Cdb) == LayoutOf(kBuildAbi).cdb_offset,
              "SCSI_PASS_THROUGH_DIRECT does not lie where the host puts its fields");

HANDLE NativeHandle(DeviceHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// The adapter's descriptor, or nothing when the system cannot ask it or it says too little.
std::optional<AdapterDescriptorFields> QueryAdapter(HANDLE handle) {
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageAdapterProperty;
    query.QueryType = PropertyStandardQuery;
    STORAGE_ADAPTER_DESCRIPTOR descriptor{};
    DWORD returned = 0;
    if (!DeviceIoControl(handle, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &descriptor,
                         sizeof descriptor, &returned, nullptr) ||
        returned < offsetof(STORAGE_ADAPTER_DESCRIPTOR, AlignmentMask) + sizeof(ULONG)) {
        return std::nullopt;
    }
    return AdapterDescriptorFields{descriptor.MaximumTransferLength,
                                   descriptor.MaximumPhysicalPages, descriptor.AlignmentMask};
}

// Data that does not start where the adapter can take it travels through a buffer that does.
class AlignedData {
  public:
    AlignedData(void* data, std::uint32_t length, std::uint32_t alignment_mask, bool data_in)
        : caller_(static_cast<std::uint8_t*>(data)), length_(length), data_in_(data_in) {
        if (caller_ == nullptr || length == 0 ||
            IsAligned(reinterpret_cast<std::uintptr_t>(caller_), alignment_mask)) {
            address_ = caller_;
            return;
        }
        storage_.resize(std::size_t{length} + alignment_mask);
        const auto start = reinterpret_cast<std::uintptr_t>(storage_.data());
        address_ = storage_.data() + ((alignment_mask + 1 - (start & alignment_mask)) &
                                      std::uintptr_t{alignment_mask});
        if (!data_in_) {
            std::memcpy(address_, caller_, length_);
        }
    }

    void* Address() const { return address_; }

    // Hands what a data-in transfer brought to the caller's buffer.
    void Finish() const {
        if (data_in_ && address_ != caller_) {
            std::memcpy(caller_, address_, length_);
        }
    }

  private:
    std::uint8_t* caller_;
    std::uint32_t length_;
    bool data_in_;
    std::vector<std::uint8_t> storage_;
    std::uint8_t* address_ = nullptr;
};

}  // namespace

DeviceHandle WindowsHost::Open(const std::string& device_path) {
    const HANDLE handle =
        CreateFileA(device_path.c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        ReportSystemError("cannot open " + device_path, error);
        return kInvalidDeviceHandle;
    }
    const TransferLimits limits = TransferLimitsOf(QueryAdapter(handle));
    const auto device_handle = reinterpret_cast<DeviceHandle>(handle);
    std::lock_guard lock(mutex_);
    open_devices_[device_handle] = {device_path, limits};
    return device_handle;
}

void WindowsHost::Close(DeviceHandle handle) {
    if (handle == kInvalidDeviceHandle) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        open_devices_.erase(handle);
    }
    if (!CloseHandle(NativeHandle(handle))) {
        const DWORD error = GetLastError();
        ReportSystemError("cannot close a device handle", error);
    }
}

PassThroughOutcome WindowsHost::PassThrough(DeviceHandle handle, ScsiPassThroughRequest& request) {
    const OpenDevice device = DeviceOf(handle);
    const AlignedData data(request.DataBuffer(), request.DataTransferLength(),
                           device.limits.alignment_mask, request.DataIn());
    std::vector<std::uint8_t> native = BuildNativePassThrough(
        request, kBuildAbi, reinterpret_cast<std::uintptr_t>(data.Address()));
    const auto size = static_cast<DWORD>(native.size());
    DWORD returned = 0;
    if (!DeviceIoControl(NativeHandle(handle), IOCTL_SCSI_PASS_THROUGH_DIRECT, native.data(), size,
                         native.data(), size, &returned, nullptr)) {
        const DWORD error = GetLastError();
        return PassThroughOutcome::Failed(
            CategoryOfSystemError(error),
            ReportSystemError("SCSI pass-through on " + device.path + " failed", error));
    }
    const NativePassThroughReply reply = ReadNativeReply(native, kBuildAbi, request);
    data.Finish();
    return OutcomeOfNativeReply(reply, request.DataTransferLength());
}

bool WindowsHost::ControlVolume(DeviceHandle handle, VolumeControl control) {
    DWORD code = 0;
    const char* what = "";
    switch (control) {
        case VolumeControl::Lock:
            code = FSCTL_LOCK_VOLUME;
            what = "cannot lock ";
            break;
        case VolumeControl::Unlock:
            code = FSCTL_UNLOCK_VOLUME;
            what = "cannot unlock ";
            break;
        case VolumeControl::ReleaseFileSystems:
            // The volume lock of the session already keeps the file system off the volume, and
            // the dismount at its end has the system read it afresh.
            return true;
        case VolumeControl::Dismount:
            code = FSCTL_DISMOUNT_VOLUME;
            what = "cannot dismount ";
            break;
    }
    DWORD returned = 0;
    if (!DeviceIoControl(NativeHandle(handle), code, nullptr, 0, nullptr, 0, &returned, nullptr)) {
        const DWORD error = GetLastError();
        ReportSystemError(what + DeviceOf(handle).path, error);
        return false;
    }
    return true;
}

std::vector<std::string> WindowsHost::RemovableDriveRoots() {
    const DWORD drives = GetLogicalDrives();
    if (drives == 0) {
        const DWORD error = GetLastError();
        ReportSystemError("cannot list the drives", error);
    }
    return RemovableDriveRootsOf(drives, [](const std::string& root) {
        return GetDriveTypeA(root.c_str()) == DRIVE_REMOVABLE;
    });
}

std::uint32_t WindowsHost::MaxTransferSectors(DeviceHandle handle) {
    return DeviceOf(handle).limits.max_sectors;
}

WindowsHost::OpenDevice WindowsHost::DeviceOf(DeviceHandle handle) const {
    std::lock_guard lock(mutex_);
    const auto it = open_devices_.find(handle);
    if (it != open_devices_.end()) {
        return it->second;
    }
    return {"handle " + std::to_string(handle), TransferLimitsOf(std::nullopt)};
}

}  // namespace ulvren
