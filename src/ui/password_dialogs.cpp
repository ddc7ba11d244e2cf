#include "ui/password_dialogs.h"

#include <utility>
#include <variant>

#include "text/text_catalogue.h"
#include "text/text_ids.h"
#include "ui/control_ids.h"
#include "ui/password_encoding.h"

namespace ulvren {
namespace {

// A text's copy that memory could not hold is skipped: the control keeps its caption.
void PutText(DialogView& view, int control, TextId text, UiLanguage language) {
    if (const auto copy = LoadLocalizedTextUtf8(text, language)) {
        view.SetText(control, *copy);
    }
}

void PutTitle(DialogView& view, TextId text, UiLanguage language) {
    if (const auto copy = LoadLocalizedTextUtf8(text, language)) {
        view.SetTitle(*copy);
    }
}

// Each edit starts empty and takes no more than fits the recorder in the dialog's language.
void PrepareEdit(DialogView& view, int control, UiLanguage language) {
    view.SetText(control, "");
    view.LimitPasswordEdit(control, [language](std::string_view text) {
        return std::holds_alternative<std::string>(EncodePassword(text, language));
    });
}

}  // namespace

void CLoginDlg::OnInitDialog(DialogView& view) {
    PrepareEdit(view, CONTROL_PASSWORD_EDIT, language_);
    PutText(view, CONTROL_OK, TEXT_OK, language_);
    PutText(view, CONTROL_CANCEL, TEXT_CANCEL, language_);
    PutTitle(view, TEXT_ENTER_PASSWORD, language_);
    PutText(view, CONTROL_PASSWORD_LABEL, TEXT_PASSWORD, language_);
}

void CLoginDlg::OnOk(DialogView& view) {
    password_ = view.Text(CONTROL_PASSWORD_EDIT);
}

void CChangePasswordDlg::OnInitDialog(DialogView& view) {
    PrepareEdit(view, CONTROL_CONFIRM_PASSWORD_EDIT, language_);
    PrepareEdit(view, CONTROL_NEW_PASSWORD_EDIT, language_);
    PrepareEdit(view, CONTROL_OLD_PASSWORD_EDIT, language_);
    PutText(view, CONTROL_OK, TEXT_OK, language_);
    PutText(view, CONTROL_CANCEL, TEXT_CANCEL, language_);
    PutTitle(view, TEXT_CHANGE_PASSWORD, language_);
    PutText(view, CONTROL_OLD_PASSWORD_LABEL, TEXT_OLD_PASSWORD, language_);
    PutText(view, CONTROL_NEW_PASSWORD_LABEL, TEXT_NEW_PASSWORD, language_);
    PutText(view, CONTROL_CONFIRM_PASSWORD_LABEL, TEXT_CONFIRM_NEW_PASSWORD, language_);
}

void CChangePasswordDlg::OnOk(DialogView& view) {
    confirm_password_ = view.Text(CONTROL_CONFIRM_PASSWORD_EDIT);
    new_password_ = view.Text(CONTROL_NEW_PASSWORD_EDIT);
    old_password_ = view.Text(CONTROL_OLD_PASSWORD_EDIT);
}

}  // namespace ulvren
