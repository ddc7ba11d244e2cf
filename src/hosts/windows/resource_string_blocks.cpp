// String-table blocks from the module's resources.
#include <windows.h>

#include "text/string_table.h"

namespace ulvren {

// FindResourceExA, LoadResource, LockResource and SizeofResource; empty when any of them fails.
// The bytes live as long as the module. The null module is the executable's own.
std::span<const std::uint8_t> FindStringBlock(ModuleHandle module, std::uint16_t number,
                                              std::uint16_t language) {
    const auto instance = static_cast<HMODULE>(const_cast<void*>(module));
    const HRSRC resource = FindResourceExA(instance, MAKEINTRESOURCEA(6) /* RT_STRING */,
                                           MAKEINTRESOURCEA(number), language);
    if (resource == nullptr) {
        return {};
    }
    const HGLOBAL loaded = LoadResource(instance, resource);
    if (loaded == nullptr) {
        return {};
    }
    const void* bytes = LockResource(loaded);
    if (bytes == nullptr) {
        return {};
    }
    return {static_cast<const std::uint8_t*>(bytes), SizeofResource(instance, resource)};
}

}  // namespace ulvren
