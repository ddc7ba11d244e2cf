#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "ui/dialog_view.h"

namespace ulvren::views::win32 {

// The controls of one narrow dialog window as the window's logic reaches them: texts converted
// between UTF-8 and the ANSI code page, enabled states, and the password edits' limit. It is the
// DialogView of both kinds of dialog.
class DialogControls : public virtual DialogView {
  public:
    void Attach(HWND dialog) { dialog_ = dialog; }
    HWND Dialog() const { return dialog_; }

    // DialogView.
    void SetTitle(std::string_view text) override;
    void SetText(int control, std::string_view text) override;
    std::string Text(int control) const override;
    void SetEnabled(int control, bool enabled) override;
    // EM_LIMITTEXT with the recorder's twelve bytes, and `fits` on every change: an edit that no
    // longer fits gets its last text back, so typing or pasting what does not fit has no effect.
    void LimitPasswordEdit(int control, std::function<bool(std::string_view text)> fits) override;

    // WM_COMMAND's EN_CHANGE for `control`.
    void OnEditChange(int control);

  private:
    struct LimitedEdit {
        std::function<bool(std::string_view)> fits;
        std::string last_fitting;
        bool restoring = false;
    };

    HWND dialog_ = nullptr;
    std::map<int, LimitedEdit> limited_edits_;
};

}  // namespace ulvren::views::win32
