// NTFS keeps a file's unwritten ranges off the disk only once the file is marked sparse.
#include <windows.h>
// windows.h first: winioctl.h needs its types.
#include <winioctl.h>

#include "recorder/sparse_file.h"

namespace ulvren {

bool MarkFileSparse(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD returned = 0;
    const BOOL marked =
        DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    CloseHandle(file);
    return marked != FALSE;
}

}  // namespace ulvren
