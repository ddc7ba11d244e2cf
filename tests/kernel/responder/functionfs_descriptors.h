#pragma once

#include <cstdint>
#include <vector>

namespace ulvren::kernel_test {

// What the responder writes to FunctionFS's ep0 before the gadget can be bound: one interface of
// class mass storage, subclass SCSI transparent, protocol Bulk-Only, with a bulk-in endpoint
// (ep1) and a bulk-out endpoint (ep2), at full and high speed; then its one string.
std::vector<std::uint8_t> FunctionDescriptors();
std::vector<std::uint8_t> FunctionStrings();

}  // namespace ulvren::kernel_test
