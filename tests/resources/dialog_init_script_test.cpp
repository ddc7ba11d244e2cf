// The initialisation data's script, as the resource compiler reads it.
#include "resources/generator/dialog_init_script.h"

#include <gtest/gtest.h>

#include "ui/disk_type_items.h"

namespace ulvren {
namespace {

TEST(DialogInitScript, WritesOneRecordPerItemAndEndsEachWithAComma) {
    EXPECT_EQ(DialogInitScript(102, 1016, kDiskTypeItemsGbk),
              "102 DLGINIT\n"
              "BEGIN\n"
              "    1016, 0x0403, 10, 0,\n"
              "    0x2020, 0xC620, 0xCDD5, 0xC5A8, 0x00CC,\n"
              "    1016, 0x0403, 10, 0,\n"
              "    0x2020, 0xBC20, 0xC3D3, 0xC5DC, 0x00CC,\n"
              "    0\n"
              "END\n");
}

TEST(DialogInitScript, PadsAnItemOfEvenLengthToWholeWords) {
    const std::string_view items[] = {"ab"};
    EXPECT_EQ(DialogInitScript(7, 9, items),
              "7 DLGINIT\nBEGIN\n    9, 0x0403, 3, 0,\n    0x6261, 0x0000,\n    0\nEND\n");
}

}  // namespace
}  // namespace ulvren
