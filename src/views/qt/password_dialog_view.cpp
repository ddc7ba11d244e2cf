#include "views/qt/password_dialog_view.h"

#include <QPushButton>

#include "ui/control_ids.h"

namespace ulvren::views::qt {

PasswordDialogView::PasswordDialogView(const DialogTemplate& dialog_template, QWidget* owner)
    : QDialog(owner, kDialogFrame), DialogControls(*this, dialog_template) {
    // It blocks its owner, the main window, alone: the demo's device panel stays usable.
    setWindowModality(Qt::WindowModal);
}

DialogResult PasswordDialogView::Run(DialogLogic& logic) {
    logic.OnInitDialog(*this);
    if (auto* ok = As<QPushButton>(CONTROL_OK)) {
        connect(ok, &QPushButton::clicked, this, [this, &logic] {
            logic.OnOk(*this);
            accept();
        });
    }
    if (auto* cancel = As<QPushButton>(CONTROL_CANCEL)) {
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    }
    // The first tab stop, the OK button, holds the focus when the dialog opens.
    if (QWidget* first = FirstTabStop()) {
        first->setFocus(Qt::OtherFocusReason);
    }
    return exec() == QDialog::Accepted ? DialogResult::Ok : DialogResult::Cancel;
}

}  // namespace ulvren::views::qt
