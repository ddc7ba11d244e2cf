#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace ulvren {

// The three dialogs as their templates give them: sizes and positions in dialog units, the
// dialog font, the template captions (Simplified Chinese, replaced at run time by the catalogue's
// texts) and the controls in template order, which is the tab order. The Win32 resources are
// generated from this table and the Qt views lay their widgets out from it.

inline constexpr int IDD_MAIN_WINDOW = 102;
inline constexpr int IDD_ENTER_PASSWORD = 130;
inline constexpr int IDD_CHANGE_PASSWORD = 131;
inline constexpr int IDI_APPLICATION_ICON = 128;

enum class ControlKind {
    GroupBox,
    Label,  // static text, left-aligned
    PushButton,
    DefaultPushButton,  // the dialog's default button
    AutoRadioButton,
    AutoCheckBox,
    DropDownList,  // combo box, list only
    DatePicker,    // short date format, calendar dropped down at the right edge
    TimePicker,    // time format with an up-down control, right-aligned
    PasswordEdit,  // border, characters hidden, scrolls horizontally
};

// Styles beyond what the kind implies.
enum ControlStyle : std::uint32_t {
    kNoStyle = 0,
    kTabStop = 1u << 0,
    kStartsGroup = 1u << 1,
    kDisabled = 1u << 2,
    kVerticalScroll = 1u << 3,
};

// The dialog's own window. Both are pop-up windows with a caption, a system menu and a modal
// frame, without minimise or maximise box.
enum class DialogFrame {
    MainWindow,  // shown at once, with a taskbar button of its own
    Modal,       // shown by its modal run, over the main window
};

struct DialogRect {
    int x, y, width, height;
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string_view caption;  // UTF-8
    DialogRect rect;
    std::uint32_t styles;
};

struct DialogTemplate {
    int id;
    int width, height;       // dialog units
    std::string_view title;  // UTF-8
    std::string_view font;   // the dialog font's face name, UTF-8
    int font_points;
    std::span<const ControlTemplate> controls;
    DialogFrame frame;
};

const DialogTemplate& MainWindowTemplate();
const DialogTemplate& EnterPasswordTemplate();
const DialogTemplate& ChangePasswordTemplate();

// The items of the disk-type list, index 0 public disk and index 1 password disk, with their three
// leading blanks: the same two Chinese texts in every language (UTF-8; the Windows template
// carries them in code page 936).
inline constexpr std::string_view kDiskTypeListItems[] = {"   普通盘", "   加密盘"};

}  // namespace ulvren
