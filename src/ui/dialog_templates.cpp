#include "ui/dialog_templates.h"

#include "ui/control_ids.h"

namespace ulvren {
namespace {

using enum ControlKind;

constexpr std::string_view kDialogFont = "新宋体";
constexpr int kDialogFontPoints = 9;

constexpr ControlTemplate kMainWindowControls[] = {
    {CONTROL_DEVICE_GROUP, GroupBox, "U盘管理", {6, 2, 244, 78}, kNoStyle},
    {CONTROL_DATE_TIME_GROUP, GroupBox, "日期/时间管理", {6, 85, 244, 74}, kNoStyle},
    {CONTROL_CURRENT_TIME, Label, "2011-7-27 10:49:20", {119, 99, 112, 8}, kStartsGroup},
    {CONTROL_SET_CLOCK_BUTTON, PushButton, "设置", {189, 135, 45, 16}, kTabStop},
    {CONTROL_SYSTEM_TIME_RADIO, AutoRadioButton, "使用系统日期/时间", {22, 96, 84, 16}, kNoStyle},
    {CONTROL_CUSTOM_TIME_RADIO, AutoRadioButton, "自定义日期/时间", {22, 117, 76, 16}, kNoStyle},
    {CONTROL_TIME_STAMP_CHECK, AutoCheckBox, "录像/拍照显示时间戳", {22, 138, 100, 16}, kTabStop},
    {CONTROL_CHANGE_PASSWORD_BUTTON, PushButton, "更改密码", {189, 58, 45, 16}, kTabStop},
    {CONTROL_FORMAT_BUTTON, PushButton, "格式化", {189, 12, 45, 16}, kTabStop},
    {CONTROL_DISK_TYPE_LABEL, Label, "U盘类型", {22, 19, 49, 13}, kStartsGroup},
    {CONTROL_DISK_TYPE_LIST,
     DropDownList,
     "",
     {81, 16, 65, 54},
     kTabStop | kVerticalScroll | kDisabled},
    {CONTROL_DATE_PICKER, DatePicker, "", {117, 118, 55, 13}, kTabStop},
    {CONTROL_TIME_PICKER, TimePicker, "", {184, 118, 50, 13}, kTabStop},
    {CONTROL_LOGIN_BUTTON, PushButton, "登录", {189, 35, 45, 16}, kTabStop},
    {CONTROL_CAPACITY_LABEL, Label, "磁盘容量", {22, 60, 54, 8}, kStartsGroup},
    {CONTROL_CAPACITY_FIELD, Label, "", {81, 60, 67, 8}, kStartsGroup},
};

constexpr ControlTemplate kEnterPasswordControls[] = {
    {CONTROL_OK, DefaultPushButton, "OK", {18, 30, 39, 14}, kTabStop},
    {CONTROL_CANCEL, PushButton, "Cancel", {109, 31, 39, 14}, kTabStop},
    {CONTROL_PASSWORD_LABEL, Label, "密码", {18, 14, 17, 8}, kStartsGroup},
    {CONTROL_PASSWORD_EDIT, PasswordEdit, "", {66, 10, 82, 14}, kTabStop},
};

constexpr ControlTemplate kChangePasswordControls[] = {
    {CONTROL_OK, DefaultPushButton, "OK", {19, 76, 40, 14}, kTabStop},
    {CONTROL_CANCEL, PushButton, "Cancel", {125, 75, 40, 14}, kTabStop},
    {CONTROL_OLD_PASSWORD_LABEL, Label, "旧密码", {19, 12, 25, 8}, kStartsGroup},
    {CONTROL_NEW_PASSWORD_LABEL, Label, "新密码", {19, 34, 25, 8}, kStartsGroup},
    {CONTROL_CONFIRM_PASSWORD_LABEL, Label, "确认新密码", {19, 60, 41, 8}, kStartsGroup},
    {CONTROL_OLD_PASSWORD_EDIT, PasswordEdit, "", {76, 8, 89, 14}, kTabStop},
    {CONTROL_NEW_PASSWORD_EDIT, PasswordEdit, "", {76, 30, 89, 14}, kTabStop},
    {CONTROL_CONFIRM_PASSWORD_EDIT, PasswordEdit, "", {76, 56, 89, 14}, kTabStop},
};

}  // namespace

const DialogTemplate& MainWindowTemplate() {
    static constexpr DialogTemplate kTemplate{IDD_MAIN_WINDOW,
                                              256,
                                              165,
                                              "Ulvren Tool",
                                              kDialogFont,
                                              kDialogFontPoints,
                                              kMainWindowControls,
                                              DialogFrame::MainWindow};
    return kTemplate;
}

const DialogTemplate& EnterPasswordTemplate() {
    static constexpr DialogTemplate kTemplate{IDD_ENTER_PASSWORD,
                                              165,
                                              49,
                                              "输入密码",
                                              kDialogFont,
                                              kDialogFontPoints,
                                              kEnterPasswordControls,
                                              DialogFrame::Modal};
    return kTemplate;
}

const DialogTemplate& ChangePasswordTemplate() {
    static constexpr DialogTemplate kTemplate{IDD_CHANGE_PASSWORD,
                                              184,
                                              97,
                                              "更改密码",
                                              kDialogFont,
                                              kDialogFontPoints,
                                              kChangePasswordControls,
                                              DialogFrame::Modal};
    return kTemplate;
}

}  // namespace ulvren
