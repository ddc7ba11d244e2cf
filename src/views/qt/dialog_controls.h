#pragma once

#include <QDialog>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/dialog_templates.h"
#include "ui/dialog_view.h"
#include "views/qt/dialog_layouts.h"

namespace ulvren::views::qt {

// The frame of the templates' windows: a caption with the system menu and a close box, and no
// minimise or maximise box. The main window has no owner and a taskbar button of its own.
inline constexpr Qt::WindowFlags kDialogFrame = Qt::Dialog | Qt::CustomizeWindowHint |
                                                Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                Qt::WindowCloseButtonHint;
inline constexpr Qt::WindowFlags kMainWindowFrame =
    (kDialogFrame & ~Qt::WindowType_Mask) | Qt::Window;

// The controls of one dialog template on a Qt dialog, reached by their dialog ids: created in
// template order, which is their focus chain's and so the tab order, and laid out in the
// application's font by the dialog's layout cells. Each control that a caption names gets it for
// assistive technology: a label becomes its buddy, another control's caption its accessible name.
// It is the DialogView of every dialog built on it.
class DialogControls : public virtual DialogView {
  public:
    DialogControls(QDialog& dialog, const DialogTemplate& dialog_template);
    DialogControls(const DialogControls&) = delete;
    DialogControls& operator=(const DialogControls&) = delete;

    // Null for an id the template does not have.
    QWidget* Widget(int control) const;
    template <class T>
    T* As(int control) const {
        return qobject_cast<T*>(Widget(control));
    }

    // DialogView.
    void SetTitle(std::string_view text) override;
    void SetText(int control, std::string_view text) override;
    std::string Text(int control) const override;
    void SetEnabled(int control, bool enabled) override;
    // A validator on the edit; nothing for a control that is no edit.
    void LimitPasswordEdit(int control, std::function<bool(std::string_view text)> fits) override;

    // The first control in tab order that takes the focus from the keyboard.
    QWidget* FirstTabStop() const;

  protected:
    // A control that the template does not have, reached by its id like the template's own.
    void AddControl(int id, QWidget* widget) { controls_.push_back({id, widget}); }

  private:
    struct Control {
        int id;
        QWidget* widget;
    };

    // The controls that `caption` names, each by its text where it is not their label's buddy.
    void NameByCaption(int caption) const;

    QDialog& dialog_;
    std::span<const LayoutCell> cells_;
    std::vector<Control> controls_;
};

}  // namespace ulvren::views::qt
