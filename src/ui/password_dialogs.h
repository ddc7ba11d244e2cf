#pragma once

#include <string>

#include "text/ui_language.h"
#include "ui/dialog_view.h"

namespace ulvren {

// The logic of the enter-password dialog: its captions in its own language and its one password,
// at most twelve bytes in the recorder's code page of that language.
class CLoginDlg final : public DialogLogic {
  public:
    explicit CLoginDlg(UiLanguage language) : language_(language) {}

    void OnInitDialog(DialogView& view) override;
    void OnOk(DialogView& view) override;

    // The password as typed (UTF-8).
    const std::string& Password() const { return password_; }

  private:
    UiLanguage language_;
    std::string password_;
};

// The logic of the change-password dialog.
class CChangePasswordDlg final : public DialogLogic {
  public:
    explicit CChangePasswordDlg(UiLanguage language) : language_(language) {}

    void OnInitDialog(DialogView& view) override;
    void OnOk(DialogView& view) override;

    // As typed (UTF-8).
    const std::string& ConfirmPassword() const { return confirm_password_; }
    const std::string& NewPassword() const { return new_password_; }
    const std::string& OldPassword() const { return old_password_; }

  private:
    UiLanguage language_;
    std::string confirm_password_;
    std::string new_password_;
    std::string old_password_;
};

}  // namespace ulvren
