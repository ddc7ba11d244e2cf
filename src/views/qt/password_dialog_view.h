#pragma once

#include <QDialog>

#include "ui/dialog_view.h"
#include "views/qt/dialog_controls.h"

namespace ulvren::views::qt {

// One of the two password dialogs, laid out from its template and driven by its logic.
class PasswordDialogView final : public QDialog, public DialogControls {
  public:
    PasswordDialogView(const DialogTemplate& dialog_template, QWidget* owner);

    // Runs the dialog modally: OK (its button or Enter) lets the logic take the values first;
    // Cancel, Esc and the close box end it with Cancel.
    DialogResult Run(DialogLogic& logic);
};

}  // namespace ulvren::views::qt
