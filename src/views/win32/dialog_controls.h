#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace ulvren::win32 {

// The DialogView calls that both kinds of dialog share, on the controls of one narrow dialog
// window: texts converted between UTF-8 and the ANSI code page, enabled states, and the password
// edits' limit.
class DialogControls {
  public:
    void Attach(HWND dialog) { dialog_ = dialog; }
    HWND Dialog() const { return dialog_; }

    void SetTitle(std::string_view text);
    void SetText(int control, std::string_view text);
    std::string Text(int control) const;
    void SetEnabled(int control, bool enabled);

    // EM_LIMITTEXT with the recorder's twelve bytes, and `fits` on every change: an edit that no
    // longer fits gets its last text back, so typing or pasting what does not fit has no effect.
    void LimitPasswordEdit(int control, std::function<bool(std::string_view text)> fits);
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

}  // namespace ulvren::win32
