#include "views/qt/password_dialog_view.h"

#include <QLineEdit>
#include <QPushButton>

#include "ui/control_ids.h"
#include "views/qt/password_validator.h"
#include "views/qt/utf8_text.h"

namespace ulvren::views {

PasswordDialogView::PasswordDialogView(const DialogTemplate& dialog_template, QWidget* owner)
    : QDialog(owner, kDialogFrame), controls_(*this, dialog_template) {}

DialogResult PasswordDialogView::Run(DialogLogic& logic) {
    logic.OnInitDialog(*this);
    if (auto* ok = controls_.As<QPushButton>(CONTROL_OK)) {
        connect(ok, &QPushButton::clicked, this, [this, &logic] {
            logic.OnOk(*this);
            accept();
        });
    }
    if (auto* cancel = controls_.As<QPushButton>(CONTROL_CANCEL)) {
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    }
    // The first tab stop, the OK button, holds the focus when the dialog opens.
    if (QWidget* first = controls_.FirstTabStop()) {
        first->setFocus(Qt::OtherFocusReason);
    }
    return exec() == QDialog::Accepted ? DialogResult::Ok : DialogResult::Cancel;
}

void PasswordDialogView::SetTitle(std::string_view text) {
    setWindowTitle(FromUtf8(text));
}

void PasswordDialogView::SetText(int control, std::string_view text) {
    controls_.SetText(control, text);
}

std::string PasswordDialogView::Text(int control) const {
    return controls_.Text(control);
}

void PasswordDialogView::SetEnabled(int control, bool enabled) {
    controls_.SetEnabled(control, enabled);
}

void PasswordDialogView::LimitPasswordEdit(int control,
                                           std::function<bool(std::string_view text)> fits) {
    if (auto* edit = controls_.As<QLineEdit>(control)) {
        edit->setValidator(new PasswordValidator(std::move(fits), edit));
    }
}

}  // namespace ulvren::views
