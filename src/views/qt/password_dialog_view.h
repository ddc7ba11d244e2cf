#pragma once

#include <QDialog>

#include "ui/dialog_view.h"
#include "views/qt/dialog_controls.h"

namespace ulvren::views::qt {

// One of the two password dialogs, with its template's controls and driven by its logic, modal
// to its owner.
class PasswordDialogView final : public QDialog, public DialogControls {
  public:
    PasswordDialogView(const DialogTemplate& dialog_template, QWidget* owner);

    // Runs the dialog modally: OK (its button or Enter) lets the logic take the values first;
    // Cancel, Esc and the close box end it with Cancel.
    DialogResult Run(DialogLogic& logic);
};

}  // namespace ulvren::views::qt
