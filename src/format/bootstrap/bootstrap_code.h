#pragma once

#include <cstddef>

namespace ulvren {

// The number of code bytes at the start of BootstrapTemplate(); zero bytes pad the rest of the
// code area up to the data at boot-sector offset 0x170.
std::size_t BootstrapCodeSize();

}  // namespace ulvren
