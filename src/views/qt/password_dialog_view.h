#pragma once

#include <QDialog>

#include "ui/dialog_view.h"
#include "views/qt/dialog_controls.h"

namespace ulvren::views {

// One of the two password dialogs, laid out from its template and driven by its logic.
class PasswordDialogView final : public QDialog, public DialogView {
  public:
    PasswordDialogView(const DialogTemplate& dialog_template, QWidget* owner);

    // Runs the dialog modally: OK (its button or Enter) lets the logic take the values first;
    // Cancel, Esc and the close box end it with Cancel.
    DialogResult Run(DialogLogic& logic);

    // DialogView.
    void SetTitle(std::string_view text) override;
    void SetText(int control, std::string_view text) override;
    std::string Text(int control) const override;
    void SetEnabled(int control, bool enabled) override;
    void LimitPasswordEdit(int control, std::function<bool(std::string_view text)> fits) override;

  private:
    DialogControls controls_;
};

}  // namespace ulvren::views
