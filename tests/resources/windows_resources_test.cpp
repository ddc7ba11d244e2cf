// The resources that the Windows programs carry, read back from this test program's own module
// with the resource calls: the dialog templates against the one table they are generated from,
// the main window's initialisation data byte for byte, the string tables, the icon, the manifest.
#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: commctrl.h needs its types.
#include <commctrl.h>

#include <string_view>

#include "dialog_template_reader.h"
#include "text/string_table.h"
#include "text/utf_conversion.h"
#include "ui/dialog_templates.h"

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

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kDialogFrame = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

struct KindInTemplate {
    ControlKind kind;
    std::u16string window_class;
    DWORD style;
};

// What each kind of control is in a Win32 template.
const KindInTemplate kKinds[] = {
    {ControlKind::GroupBox, u"BUTTON", BS_GROUPBOX},
    {ControlKind::Label, u"STATIC", SS_LEFT},
    {ControlKind::PushButton, u"BUTTON", BS_PUSHBUTTON},
    {ControlKind::DefaultPushButton, u"BUTTON", BS_DEFPUSHBUTTON},
    {ControlKind::AutoRadioButton, u"BUTTON", BS_AUTORADIOBUTTON},
    {ControlKind::AutoCheckBox, u"BUTTON", BS_AUTOCHECKBOX},
    {ControlKind::DropDownList, u"COMBOBOX", CBS_DROPDOWNLIST},
    {ControlKind::DatePicker, u"SYSDATETIMEPICK32", DTS_SHORTDATEFORMAT | DTS_RIGHTALIGN},
    {ControlKind::TimePicker, u"SYSDATETIMEPICK32", DTS_TIMEFORMAT | DTS_RIGHTALIGN},
    {ControlKind::PasswordEdit, u"EDIT", ES_LEFT | ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER},
};

CompiledControl Expected(const ControlTemplate& control) {
    CompiledControl expected;
    expected.id = static_cast<std::uint32_t>(control.id);
    for (const KindInTemplate& kind : kKinds) {
        if (kind.kind == control.kind) {
            expected.window_class = kind.window_class;
            expected.style = kChild | kind.style;
        }
    }
    expected.style |= (control.styles & kTabStop ? WS_TABSTOP : 0) |
                      (control.styles & kStartsGroup ? WS_GROUP : 0) |
                      (control.styles & kDisabled ? WS_DISABLED : 0) |
                      (control.styles & kVerticalScroll ? WS_VSCROLL : 0);
    expected.caption = Utf8ToUtf16(control.caption).value();
    expected.x = static_cast<std::int16_t>(control.rect.x);
    expected.y = static_cast<std::int16_t>(control.rect.y);
    expected.cx = static_cast<std::int16_t>(control.rect.width);
    expected.cy = static_cast<std::int16_t>(control.rect.height);
    return expected;
}

class DialogResource : public ::testing::TestWithParam<const DialogTemplate*> {};

TEST_P(DialogResource, IsTheTablesTemplate) {
    const DialogTemplate& table = *GetParam();
    const auto dialog = ReadDialogTemplate(Resource(RT_DIALOG, table.id, kSimplifiedChinese));
    ASSERT_TRUE(dialog.has_value()) << "template " << table.id;
    const bool main_window = table.frame == DialogFrame::MainWindow;
    EXPECT_EQ(dialog->style, kDialogFrame | (main_window ? WS_VISIBLE : 0));
    EXPECT_EQ(dialog->ex_style, main_window ? static_cast<DWORD>(WS_EX_APPWINDOW) : 0);
    EXPECT_EQ(std::tie(dialog->cx, dialog->cy), std::make_tuple(table.width, table.height));
    EXPECT_EQ(dialog->title, Utf8ToUtf16(table.title));
    EXPECT_EQ(dialog->typeface, Utf8ToUtf16(table.font));
    EXPECT_EQ(dialog->point_size, table.font_points);
    EXPECT_EQ(std::tie(dialog->weight, dialog->italic), std::make_tuple(0, 0));
    std::vector<CompiledControl> expected;
    for (const ControlTemplate& control : table.controls) {
        expected.push_back(Expected(control));
    }
    EXPECT_EQ(dialog->controls, expected);
}

INSTANTIATE_TEST_SUITE_P(Templates, DialogResource,
                         ::testing::Values(&MainWindowTemplate(), &EnterPasswordTemplate(),
                                           &ChangePasswordTemplate()),
                         [](const auto& test) { return std::to_string(test.param->id); });

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
    ASSERT_FALSE(blocks.empty());
    for (const StringBlock& block : blocks) {
        const auto resource = FindStringBlock(nullptr, block.number, block.language);
        EXPECT_EQ(Bytes(resource.begin(), resource.end()),
                  Bytes(block.bytes.begin(), block.bytes.end()))
            << "block " << block.number << " language " << block.language;
    }
    EXPECT_TRUE(FindStringBlock(nullptr, 4, 1033).empty());
    EXPECT_TRUE(FindStringBlock(nullptr, 1, 1041).empty());
}

#ifdef ULVREN_HAS_APPLICATION_ICON
TEST(WindowsResources, IconComesInTheSystemsSizes) {
    for (const int size : {16, 32, 48}) {
        const HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr),
                                                         MAKEINTRESOURCEA(IDI_APPLICATION_ICON),
                                                         IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap{};
        GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}
#endif

// The declarations that keep Windows from stretching the dialogs as bitmaps and from running the
// programs in an older Windows' compatibility mode.
TEST(WindowsResources, ManifestDeclaresDpiAwarenessAndTheWindowsVersions) {
    const auto manifest = Resource(RT_MANIFEST, 1, kNeutral);
    const std::string_view text(reinterpret_cast<const char*>(manifest.data()), manifest.size());
    const std::string_view declarations[] = {
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
        "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",  // Windows 7
        "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",  // Windows 10 and 11
    };
    for (const std::string_view declaration : declarations) {
        EXPECT_NE(text.find(declaration), std::string_view::npos) << declaration;
    }
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
