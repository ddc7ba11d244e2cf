#include "views/win32/caption_fit.h"

#include <algorithm>
#include <string>
#include <vector>

namespace ulvren::views::win32 {
namespace {

enum class CaptionKind { None, Text, PushButton, CheckMark, GroupBox };

struct Child {
    HWND window;
    CaptionKind kind;
    RECT rect;  // in the dialog's client coordinates
};

CaptionKind KindOf(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if (lstrcmpiW(name, L"Static") == 0) {
        return (style & SS_TYPEMASK) <= SS_RIGHT ? CaptionKind::Text : CaptionKind::None;
    }
    if (lstrcmpiW(name, L"Button") != 0) {
        return CaptionKind::None;
    }
    switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            return CaptionKind::PushButton;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE:
            return CaptionKind::CheckMark;
        case BS_GROUPBOX:
            return CaptionKind::GroupBox;
        default:
            return CaptionKind::None;
    }
}

// Dialog units across, in pixels of `dialog`.
int HorizontalUnits(HWND dialog, int units) {
    RECT rect{0, 0, units, 0};
    MapDialogRect(dialog, &rect);
    return rect.right;
}

// The width that the control's caption needs, in pixels: the text's and what the control puts
// beside it (a button's frame, a check mark, a group box's indent).
int NeededWidth(HWND dialog, HDC context, const Child& child) {
    const int length = GetWindowTextLengthW(child.window);
    if (length == 0) {
        return 0;
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(child.window, text.data(), length + 1);
    RECT extent{};
    DrawTextW(context, text.c_str(), length, &extent, DT_CALCRECT | DT_SINGLELINE);
    const int width = extent.right - extent.left;
    switch (child.kind) {
        case CaptionKind::PushButton:
            return width + 2 * HorizontalUnits(dialog, 3);
        case CaptionKind::CheckMark:
            return width + GetSystemMetrics(SM_CXMENUCHECK) + HorizontalUnits(dialog, 4);
        case CaptionKind::GroupBox:
            return width + 2 * HorizontalUnits(dialog, 6);
        default:
            return width;
    }
}

std::vector<Child> Children(HWND dialog) {
    std::vector<Child> children;
    for (HWND window = GetWindow(dialog, GW_CHILD); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        Child child{window, KindOf(window), {}};
        GetWindowRect(window, &child.rect);
        MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&child.rect), 2);
        children.push_back(child);
    }
    return children;
}

}  // namespace

void FitCaptions(HWND dialog) {
    std::vector<Child> children = Children(dialog);
    const HDC context = GetDC(dialog);
    const HGDIOBJ old_font =
        SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    // What each control lacks, then how far each one's left edge moves: as far as the right edge
    // of the furthest-moved control wholly to its left. Controls above one another (a column of
    // labels) move what stands to their right once, by the most that one of them needs.
    std::vector<int> lacking(children.size(), 0);
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (children[i].kind != CaptionKind::None && children[i].kind != CaptionKind::GroupBox) {
            lacking[i] =
                std::max(0, NeededWidth(dialog, context, children[i]) -
                                static_cast<int>(children[i].rect.right - children[i].rect.left));
        }
    }
    SelectObject(context, old_font);
    ReleaseDC(dialog, context);
    std::vector<std::size_t> by_left(children.size());
    for (std::size_t i = 0; i < by_left.size(); ++i) {
        by_left[i] = i;
    }
    std::ranges::stable_sort(by_left, {}, [&](std::size_t i) { return children[i].rect.left; });
    std::vector<int> shift(children.size(), 0);
    int grown = 0;
    for (const std::size_t j : by_left) {
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (i != j && children[i].kind != CaptionKind::GroupBox &&
                children[i].rect.right <= children[j].rect.left) {
                shift[j] = std::max(shift[j], shift[i] + lacking[i]);
            }
        }
        grown = std::max(grown, shift[j] + lacking[j]);
    }
    if (grown == 0) {
        return;
    }
    for (std::size_t j = 0; j < children.size(); ++j) {
        Child& child = children[j];
        int widen = lacking[j];
        if (child.kind == CaptionKind::GroupBox) {
            // A group box's right edge moves with the furthest-moved control inside it.
            for (std::size_t i = 0; i < children.size(); ++i) {
                const RECT& inner = children[i].rect;
                if (i != j && inner.left >= child.rect.left && inner.right <= child.rect.right) {
                    widen = std::max(widen, shift[i] + lacking[i] - shift[j]);
                }
            }
        }
        if (shift[j] != 0 || widen != 0) {
            MoveWindow(child.window, child.rect.left + shift[j], child.rect.top,
                       child.rect.right - child.rect.left + widen,
                       child.rect.bottom - child.rect.top, FALSE);
        }
    }
    RECT frame{};
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left + grown, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ulvren::views::win32
