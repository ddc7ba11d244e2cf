#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace ulvren {

// The udisks2 object of the block device with kernel name `kernel_name` ("sdb1" gives
// /org/freedesktop/UDisks2/block_devices/sdb1). udisks keeps [A-Za-z0-9_] and writes every other
// byte as _<two hex digits>, as D-Bus object paths require.
std::string UDisksBlockObjectPath(std::string_view kernel_name);

// The desktop's disk service on the system bus. Through it a seated user unmounts what udisks
// mounted for them and has the kernel read a rewritten disk again, neither of which the kernel
// lets that user do directly (umount2 and BLKRRPART need CAP_SYS_ADMIN).
class UDisks {
  public:
    virtual ~UDisks() = default;

    // Unmounts the file system on the block device `kernel_name`. False with the reason in
    // `error` when udisks refuses; it never asks the user to authenticate.
    virtual bool Unmount(std::string_view kernel_name, std::string& error) = 0;
    // Has udisks read the block device `kernel_name` again (its partition table and file
    // systems), as after a replug.
    virtual bool Rescan(std::string_view kernel_name, std::string& error) = 0;
};

// udisks when it runs on the system bus (its name has an owner, so nothing is started by asking),
// else null: then the tool does with the kernel's calls what the caller's rights allow.
std::unique_ptr<UDisks> ConnectToRunningUDisks();

}  // namespace ulvren
