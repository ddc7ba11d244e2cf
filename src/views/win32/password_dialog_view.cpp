#include "views/win32/password_dialog_view.h"

#include "views/win32/caption_fit.h"
#include "views/win32/dialog_controls.h"

namespace ulvren::views::win32 {
namespace {

class PasswordDialogView final : public DialogControls {
  public:
    explicit PasswordDialogView(DialogLogic& logic) : logic_(logic) {}

    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        }
        auto* view = reinterpret_cast<PasswordDialogView*>(GetWindowLongPtrA(dialog, DWLP_USER));
        return view != nullptr ? view->Handle(dialog, message, wparam) : FALSE;
    }

  private:
    INT_PTR Handle(HWND dialog, UINT message, WPARAM wparam) {
        switch (message) {
            case WM_INITDIALOG:
                Attach(dialog);
                logic_.OnInitDialog(*this);
                FitCaptions(dialog);
                // The system puts the focus on the first tab stop, OK.
                return TRUE;
            case WM_COMMAND:
                switch (LOWORD(wparam)) {
                    case IDOK:
                        logic_.OnOk(*this);
                        EndDialog(dialog, IDOK);
                        return TRUE;
                    case IDCANCEL:
                        EndDialog(dialog, IDCANCEL);
                        return TRUE;
                    default:
                        if (HIWORD(wparam) == EN_CHANGE) {
                            OnEditChange(LOWORD(wparam));
                        }
                        return FALSE;
                }
            default:
                return FALSE;
        }
    }

    DialogLogic& logic_;
};

}  // namespace

DialogResult RunPasswordDialog(HINSTANCE instance, HWND owner, int template_id,
                               DialogLogic& logic) {
    PasswordDialogView view(logic);
    // A Unicode dialog, so that its edits keep what is typed or pasted as UTF-16: an ANSI edit
    // would keep it in the ANSI code page, with what that has not already replaced.
    const INT_PTR ended =
        DialogBoxParamW(instance, MAKEINTRESOURCEW(template_id), owner,
                        PasswordDialogView::Procedure, reinterpret_cast<LPARAM>(&view));
    return ended == IDOK ? DialogResult::Ok : DialogResult::Cancel;
}

}  // namespace ulvren::views::win32
