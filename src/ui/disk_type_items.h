#pragma once

#include <array>
#include <string_view>

namespace ulvren {

// The two items of the disk-type list, in index order (index = disk type - 1), as narrow
// strings in code page 936 (GBK) with their three leading blanks. They are not localized: every
// language shows them as they are. The Windows resources carry them as the initialisation data
// of the main window's template; other toolkits decode them from 936.
inline constexpr std::array<std::string_view, 2> kDiskTypeItemsGbk = {
    "   \xC6\xD5\xCD\xA8\xC5\xCC",  // 普通盘, public disk
    "   \xBC\xD3\xC3\xDC\xC5\xCC",  // 加密盘, password disk
};

}  // namespace ulvren
