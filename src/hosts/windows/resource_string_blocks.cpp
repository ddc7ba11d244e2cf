#include "hosts/windows/resource_string_blocks.h"

#include <windows.h>

namespace ulvren {

std::span<const std::uint8_t> FindResourceStringBlock(ModuleHandle module, std::uint16_t number,
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
