#include "views/win32/dialog_controls.h"

#include <vector>

#include "protocol/vendor_protocol.h"
#include "views/win32/ansi_text.h"

namespace ulvren::views::win32 {
namespace {

// A narrow window takes ANSI text; a text that the code page cannot carry goes in as UTF-16, so
// that nothing shows as question marks.
void PutText(HWND window, std::string_view utf8) {
    bool representable = false;
    const std::string ansi = Utf8ToAnsi(utf8, representable);
    if (representable) {
        SetWindowTextA(window, ansi.c_str());
    } else {
        SetWindowTextW(window, Utf8ToWide(utf8).c_str());
    }
}

}  // namespace

void DialogControls::SetTitle(std::string_view text) {
    PutText(dialog_, text);
}

void DialogControls::SetText(int control, std::string_view text) {
    PutText(GetDlgItem(dialog_, control), text);
}

std::string DialogControls::Text(int control) const {
    // Read as UTF-16: through the ANSI code page a character that it has not would come back as
    // a question mark or a look-alike letter, and a password would reach the recorder altered.
    const HWND window = GetDlgItem(dialog_, control);
    std::vector<wchar_t> wide(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    const int length = GetWindowTextW(window, wide.data(), static_cast<int>(wide.size()));
    return WideToUtf8(std::wstring_view(wide.data(), static_cast<std::size_t>(length)));
}

void DialogControls::SetEnabled(int control, bool enabled) {
    const HWND window = GetDlgItem(dialog_, control);
    const HWND focus = GetFocus();
    const bool had_focus = focus != nullptr && (focus == window || IsChild(window, focus));
    EnableWindow(window, enabled ? TRUE : FALSE);
    // A disabled control keeps no focus: the dialog manager moves it on to the next control in
    // tab order that takes it, so the keyboard still reaches the window.
    if (!enabled && had_focus) {
        if (const HWND next = GetNextDlgTabItem(dialog_, window, FALSE);
            next != nullptr && next != window) {
            SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
        }
    }
}

void DialogControls::LimitPasswordEdit(int control,
                                       std::function<bool(std::string_view text)> fits) {
    SendDlgItemMessageA(dialog_, control, EM_LIMITTEXT, kMaxPasswordLength, 0);
    limited_edits_[control] = {std::move(fits), Text(control), false};
}

void DialogControls::OnEditChange(int control) {
    const auto it = limited_edits_.find(control);
    if (it == limited_edits_.end() || it->second.restoring) {
        return;
    }
    LimitedEdit& edit = it->second;
    std::string text = Text(control);
    if (edit.fits(text)) {
        edit.last_fitting = std::move(text);
        return;
    }
    edit.restoring = true;
    SetText(control, edit.last_fitting);
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(GetDlgItem(dialog_, control)));
    SendDlgItemMessageW(dialog_, control, EM_SETSEL, end, static_cast<LPARAM>(end));
    edit.restoring = false;
}

}  // namespace ulvren::views::win32
