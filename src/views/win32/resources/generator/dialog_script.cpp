#include "views/win32/resources/generator/dialog_script.h"

namespace ulvren {
namespace {

struct ControlClass {
    const char* window_class;
    const char* style;
};

// The class and the style that each kind of control has in a template.
ControlClass ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::GroupBox:
            return {"\"Button\"", "BS_GROUPBOX"};
        case ControlKind::Label:
            return {"\"Static\"", "SS_LEFT"};
        case ControlKind::PushButton:
            return {"\"Button\"", "BS_PUSHBUTTON"};
        case ControlKind::DefaultPushButton:
            return {"\"Button\"", "BS_DEFPUSHBUTTON"};
        case ControlKind::AutoRadioButton:
            return {"\"Button\"", "BS_AUTORADIOBUTTON"};
        case ControlKind::AutoCheckBox:
            return {"\"Button\"", "BS_AUTOCHECKBOX"};
        case ControlKind::DropDownList:
            return {"\"ComboBox\"", "CBS_DROPDOWNLIST"};
        case ControlKind::DatePicker:
            return {"DATETIMEPICK_CLASS", "DTS_SHORTDATEFORMAT | DTS_RIGHTALIGN"};
        case ControlKind::TimePicker:
            return {"DATETIMEPICK_CLASS", "DTS_TIMEFORMAT | DTS_RIGHTALIGN"};
        case ControlKind::PasswordEdit:
            return {"\"Edit\"", "ES_LEFT | ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER"};
    }
    return {"\"Static\"", "SS_LEFT"};
}

std::string StyleOf(const ControlTemplate& control) {
    std::string style = ClassOf(control.kind).style;
    constexpr std::pair<ControlStyle, const char*> kStyles[] = {
        {kVerticalScroll, "WS_VSCROLL"},
        {kTabStop, "WS_TABSTOP"},
        {kStartsGroup, "WS_GROUP"},
        {kDisabled, "WS_DISABLED"},
    };
    for (const auto& [flag, name] : kStyles) {
        if ((control.styles & flag) != 0) {
            style += std::string(" | ") + name;
        }
    }
    return style;
}

// A string literal of the resource language, in which a quote is doubled.
std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string Rect(const DialogRect& rect) {
    return std::to_string(rect.x) + ", " + std::to_string(rect.y) + ", " +
           std::to_string(rect.width) + ", " + std::to_string(rect.height);
}

}  // namespace

std::string DialogScript(const DialogTemplate& dialog) {
    const bool main_window = dialog.frame == DialogFrame::MainWindow;
    std::string out = std::to_string(dialog.id) + " DIALOGEX 0, 0, " +
                      std::to_string(dialog.width) + ", " + std::to_string(dialog.height) + "\n";
    out += "STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU";
    out += main_window ? " | WS_VISIBLE\nEXSTYLE WS_EX_APPWINDOW\n" : "\n";
    out += "CAPTION " + Quoted(dialog.title) + "\n";
    out += "FONT " + std::to_string(dialog.font_points) + ", " + Quoted(dialog.font) +
           ", 0, 0, 0x1\nBEGIN\n";
    for (const ControlTemplate& control : dialog.controls) {
        out += "    CONTROL " + Quoted(control.caption) + ", " + std::to_string(control.id) + ", " +
               ClassOf(control.kind).window_class + ", " + StyleOf(control) + ", " +
               Rect(control.rect) + "\n";
    }
    return out + "END\n";
}

}  // namespace ulvren
