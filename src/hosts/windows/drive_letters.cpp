#include "hosts/windows/drive_letters.h"

namespace ulvren {

std::string DriveRootOfBit(unsigned bit) {
    return {static_cast<char>('A' + bit), ':', '\\'};
}

std::vector<std::string> RemovableDriveRootsOf(
    std::uint32_t logical_drives,
    const std::function<bool(const std::string& root)>& is_removable) {
    std::vector<std::string> roots;
    for (unsigned bit = 0; bit < 32; ++bit) {
        if ((logical_drives >> bit & 1u) == 0) {
            continue;
        }
        std::string root = DriveRootOfBit(bit);
        if (is_removable(root)) {
            roots.push_back(std::move(root));
        }
    }
    return roots;
}

}  // namespace ulvren
