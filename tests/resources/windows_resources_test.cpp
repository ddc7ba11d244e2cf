// The resources that the Windows programs carry, read back from this test program's own module
// with the resource calls: the dialog templates control by control, the main window's
// initialisation data byte for byte, the string tables, the manifest.
#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: commctrl.h needs its types.
#include <commctrl.h>

#include <string_view>

#include "dialog_template_reader.h"
#include "hosts/windows/resource_string_blocks.h"
#include "text/string_table.h"

namespace ulvren {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::span<const std::uint8_t> Resource(const char* type, int name, WORD language) {
    const HRSRC found = FindResourceExA(nullptr, type, MAKEINTRESOURCEA(name), language);
    if (found == nullptr) {
        return {};
    }
    const void* bytes = LockResource(LoadResource(nullptr, found));
    return {static_cast<const std::uint8_t*>(bytes), SizeofResource(nullptr, found)};
}

constexpr WORD kSimplifiedChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
constexpr WORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

DialogTemplate Dialog(int id) {
    const auto dialog = ReadDialogTemplate(Resource(RT_DIALOG, id, kSimplifiedChinese));
    EXPECT_TRUE(dialog.has_value()) << "template " << id;
    return dialog.value_or(DialogTemplate{});
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kDialogFrame = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kPasswordEdit =
    kChild | ES_LEFT | ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;

// The template's font: "新宋体" at 9 points, normal weight, upright.
void ExpectDialogFont(const DialogTemplate& dialog) {
    EXPECT_EQ(dialog.typeface, u"新宋体");
    EXPECT_EQ(dialog.point_size, 9);
    EXPECT_EQ(dialog.weight, 0);
    EXPECT_EQ(dialog.italic, 0);
}

TEST(WindowsResources, MainWindowTemplate) {
    const DialogTemplate dialog = Dialog(102);
    EXPECT_EQ(dialog.style, kDialogFrame | WS_VISIBLE);
    EXPECT_EQ(dialog.ex_style, static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(std::tie(dialog.cx, dialog.cy), std::make_tuple(256, 165));
    EXPECT_EQ(dialog.title, u"Ulvren Tool");
    ExpectDialogFont(dialog);
    const std::u16string picker = u"SYSDATETIMEPICK32";
    const std::vector<ControlTemplate> expected = {
        {1029, u"BUTTON", u"U盘管理", 6, 2, 244, 78, kChild | BS_GROUPBOX, 0},
        {1030, u"BUTTON", u"日期/时间管理", 6, 85, 244, 74, kChild | BS_GROUPBOX, 0},
        {1021, u"STATIC", u"2011-7-27 10:49:20", 119, 99, 112, 8, kChild | SS_LEFT | WS_GROUP, 0},
        {1000, u"BUTTON", u"设置", 189, 135, 45, 16, kChild | BS_PUSHBUTTON | WS_TABSTOP, 0},
        {1001, u"BUTTON", u"使用系统日期/时间", 22, 96, 84, 16, kChild | BS_AUTORADIOBUTTON, 0},
        {1002, u"BUTTON", u"自定义日期/时间", 22, 117, 76, 16, kChild | BS_AUTORADIOBUTTON, 0},
        {1007, u"BUTTON", u"录像/拍照显示时间戳", 22, 138, 100, 16,
         kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 0},
        {1011, u"BUTTON", u"更改密码", 189, 58, 45, 16, kChild | BS_PUSHBUTTON | WS_TABSTOP, 0},
        {1014, u"BUTTON", u"格式化", 189, 12, 45, 16, kChild | BS_PUSHBUTTON | WS_TABSTOP, 0},
        {1028, u"STATIC", u"U盘类型", 22, 19, 49, 13, kChild | SS_LEFT | WS_GROUP, 0},
        {1016, u"COMBOBOX", u"", 81, 16, 65, 54,
         kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_DISABLED, 0},
        {1017, picker, u"", 117, 118, 55, 13,
         kChild | DTS_SHORTDATEFORMAT | DTS_RIGHTALIGN | WS_TABSTOP, 0},
        {1018, picker, u"", 184, 118, 50, 13, kChild | DTS_TIMEFORMAT | DTS_RIGHTALIGN | WS_TABSTOP,
         0},
        {1019, u"BUTTON", u"登录", 189, 35, 45, 16, kChild | BS_PUSHBUTTON | WS_TABSTOP, 0},
        {1027, u"STATIC", u"磁盘容量", 22, 60, 54, 8, kChild | SS_LEFT | WS_GROUP, 0},
        {1022, u"STATIC", u"", 81, 60, 67, 8, kChild | SS_LEFT | WS_GROUP, 0},
    };
    EXPECT_EQ(dialog.controls, expected);
}

TEST(WindowsResources, EnterPasswordTemplate) {
    const DialogTemplate dialog = Dialog(130);
    EXPECT_EQ(dialog.style, kDialogFrame);
    EXPECT_EQ(std::tie(dialog.cx, dialog.cy), std::make_tuple(165, 49));
    EXPECT_EQ(dialog.title, u"输入密码");
    ExpectDialogFont(dialog);
    const std::vector<ControlTemplate> expected = {
        {1, u"BUTTON", u"OK", 18, 30, 39, 14, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
        {2, u"BUTTON", u"Cancel", 109, 31, 39, 14, kChild | BS_PUSHBUTTON | WS_TABSTOP, 0},
        {1031, u"STATIC", u"密码", 18, 14, 17, 8, kChild | SS_LEFT | WS_GROUP, 0},
        {1023, u"EDIT", u"", 66, 10, 82, 14, kPasswordEdit, 0},
    };
    EXPECT_EQ(dialog.controls, expected);
}

TEST(WindowsResources, ChangePasswordTemplate) {
    const DialogTemplate dialog = Dialog(131);
    EXPECT_EQ(dialog.style, kDialogFrame);
    EXPECT_EQ(std::tie(dialog.cx, dialog.cy), std::make_tuple(184, 97));
    EXPECT_EQ(dialog.title, u"更改密码");
    ExpectDialogFont(dialog);
    const std::vector<ControlTemplate> expected = {
        {1, u"BUTTON", u"OK", 19, 76, 40, 14, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
        {2, u"BUTTON", u"Cancel", 125, 75, 40, 14, kChild | BS_PUSHBUTTON | WS_TABSTOP, 0},
        {1032, u"STATIC", u"旧密码", 19, 12, 25, 8, kChild | SS_LEFT | WS_GROUP, 0},
        {1033, u"STATIC", u"新密码", 19, 34, 25, 8, kChild | SS_LEFT | WS_GROUP, 0},
        {1034, u"STATIC", u"确认新密码", 19, 60, 41, 8, kChild | SS_LEFT | WS_GROUP, 0},
        {1026, u"EDIT", u"", 76, 8, 89, 14, kPasswordEdit, 0},
        {1024, u"EDIT", u"", 76, 30, 89, 14, kPasswordEdit, 0},
        {1025, u"EDIT", u"", 76, 56, 89, 14, kPasswordEdit, 0},
    };
    EXPECT_EQ(dialog.controls, expected);
}

// Two CB_ADDSTRING records for the list 1016 (id, 0x403, length 10, the GBK bytes with their
// zero), then a zero id.
TEST(WindowsResources, MainWindowInitialisationDataAddsTheTwoGbkItems) {
    const auto data = Resource(MAKEINTRESOURCEA(240), 102, kSimplifiedChinese);
    const Bytes expected = {
        0xF8, 0x03, 0x03, 0x04, 10,   0,    0,    0,    0x20, 0x20, 0x20, 0xC6, 0xD5,
        0xCD, 0xA8, 0xC5, 0xCC, 0x00, 0xF8, 0x03, 0x03, 0x04, 10,   0,    0,    0,
        0x20, 0x20, 0x20, 0xBC, 0xD3, 0xC3, 0xDC, 0xC5, 0xCC, 0x00, 0x00, 0x00,
    };
    EXPECT_EQ(Bytes(data.begin(), data.end()), expected);
}

TEST(WindowsResources, StringTablesAreTheCompiledOnes) {
    const auto& blocks = CompiledStringTable().blocks;
    ASSERT_EQ(blocks.size(), 9u);
    for (const StringBlock& block : blocks) {
        const auto resource = FindResourceStringBlock(nullptr, block.number, block.language);
        EXPECT_EQ(Bytes(resource.begin(), resource.end()),
                  Bytes(block.bytes.begin(), block.bytes.end()))
            << "block " << block.number << " language " << block.language;
    }
    EXPECT_TRUE(FindResourceStringBlock(nullptr, 4, 1033).empty());
    EXPECT_TRUE(FindResourceStringBlock(nullptr, 1, 1041).empty());
}

TEST(WindowsResources, ManifestAsksForCommonControlsSix) {
    const auto manifest = Resource(RT_MANIFEST, 1, kNeutral);
    const std::string_view text(reinterpret_cast<const char*>(manifest.data()), manifest.size());
    const auto dependency = text.find("name=\"Microsoft.Windows.Common-Controls\"");
    ASSERT_NE(dependency, std::string_view::npos) << text;
    EXPECT_NE(text.find("version=\"6.0.0.0\"", dependency), std::string_view::npos);
    EXPECT_NE(text.find("publicKeyToken=\"6595b64144ccf1df\"", dependency), std::string_view::npos);
}

}  // namespace
}  // namespace ulvren
