#pragma once

// The sectors a format must leave, written out byte by byte from the on-disk layout so that the
// tests do not lean on the builders they check.
#include <algorithm>
#include <array>
#include <cstdint>

#include "format/bootstrap_template.h"

namespace ulvren::testing {

using Sector = std::array<std::uint8_t, 512>;

inline void PutLe32(Sector& sector, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        sector[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

inline Sector ExpectedBootSector(std::uint32_t sector_count, std::uint32_t fat_sectors,
                                 std::uint32_t serial) {
    // Offsets 0x00 to 0x59; total sectors, FAT length and serial are patched in below.
    static constexpr std::array<std::uint8_t, 0x5A> kHead = {
        0xEB, 0x58, 0x90,                            // jump to the bootstrap, no-op
        'M',  'S',  'D',  'O',  'S', '5', '.', '0',  // OEM name
        0x00, 0x02,                                  // 512 bytes per sector
        0x08,                                        // sectors per cluster
        0x26, 0x00,                                  // 38 reserved sectors
        0x02,                                        // two FATs
        0x00, 0x00,                                  // no fixed root entries
        0x00, 0x00,                                  // 16-bit total sectors
        0xF8,                                        // fixed disk
        0x00, 0x00,                                  // 16-bit FAT length
        0x3F, 0x00,                                  // 63 sectors per track
        0xFF, 0x00,                                  // 255 heads
        0x00, 0x00, 0x00, 0x00,                      // no hidden sectors
        0x00, 0x00, 0x00, 0x00,                      // total sectors (patched)
        0x00, 0x00, 0x00, 0x00,                      // FAT length (patched)
        0x00, 0x00,                                  // extended flags
        0x00, 0x00,                                  // version 0.0
        0x02, 0x00, 0x00, 0x00,                      // root directory in cluster 2
        0x01, 0x00,                                  // FSInfo in sector 1
        0x06, 0x00,                                  // backup boot sector in sector 6
        0,    0,    0,    0,    0,   0,   0,   0,   0,   0,   0,   0,  // reserved
        0x00,                                                          // drive number
        0x00,                                                          // reserved
        0x29,                                                          // extended boot signature
        0x00, 0x00, 0x00, 0x00,                                        // serial (patched)
        'N',  'O',  ' ',  'N',  'A', 'M', 'E', ' ', ' ', ' ', ' ',     // label
        'F',  'A',  'T',  '3',  '2', ' ', ' ', ' ',                    // type
    };
    Sector sector{};
    std::copy(kHead.begin(), kHead.end(), sector.begin());
    PutLe32(sector, 0x20, sector_count);
    PutLe32(sector, 0x24, fat_sectors);
    PutLe32(sector, 0x43, serial);
    const auto bootstrap = BootstrapTemplate();
    std::copy(bootstrap.begin(), bootstrap.end(), sector.begin() + 0x5A);
    sector[0x1FE] = 0x55;
    sector[0x1FF] = 0xAA;
    return sector;
}

inline Sector ExpectedFsInfoSector() {
    Sector sector{};
    const std::array<std::uint8_t, 4> lead = {0x52, 0x52, 0x61, 0x41};
    const std::array<std::uint8_t, 16> tail = {0x72, 0x72, 0x41, 0x61,   // "rrAa"
                                               0xFF, 0xFF, 0xFF, 0xFF,   // free count unknown
                                               0x02, 0x00, 0x00, 0x00};  // next free hint
    std::copy(lead.begin(), lead.end(), sector.begin());
    std::copy(tail.begin(), tail.end(), sector.begin() + 0x1E4);
    sector[0x1FE] = 0x55;
    sector[0x1FF] = 0xAA;
    return sector;
}

inline Sector ExpectedFirstFatSector() {
    Sector sector{};
    const std::array<std::uint8_t, 12> entries = {0xF8, 0xFF, 0xFF, 0x0F, 0xFF, 0xFF,
                                                  0xFF, 0x0F, 0xFF, 0xFF, 0xFF, 0x0F};
    std::copy(entries.begin(), entries.end(), sector.begin());
    return sector;
}

}  // namespace ulvren::testing
