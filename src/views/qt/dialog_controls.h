#pragma once

#include <QDialog>
#include <QFont>
#include <QRect>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/dialog_templates.h"
#include "ui/dialog_view.h"
#include "views/qt/dialog_font.h"

namespace ulvren::views::qt {

// The frame of the templates' windows: a caption with the system menu and a close box, and no
// minimise or maximise box. The main window has no owner and a taskbar button of its own.
inline constexpr Qt::WindowFlags kDialogFrame = Qt::Dialog | Qt::CustomizeWindowHint |
                                                Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                Qt::WindowCloseButtonHint;
inline constexpr Qt::WindowFlags kMainWindowFrame =
    (kDialogFrame & ~Qt::WindowType_Mask) | Qt::Window;

// The controls of one dialog template on a Qt dialog, reached by their dialog ids: created in
// template order, which is the tab order, at the template's geometry in the dialog font's units.
// A caption wider than its control widens the control towards the next control on its right,
// so that no caption is cut where there is room; a label that still does not fit wraps. It is
// the DialogView of every dialog built on it.
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

  private:
    struct Placed {
        const ControlTemplate* control;
        QWidget* widget;
        QRect rect;  // the template's rectangle, in pixels
    };

    const Placed* Find(int control) const;
    void Fit(const Placed& placed) const;
    void Place(const Placed& placed, int width) const;
    int RoomToTheRight(const Placed& placed) const;

    QDialog& dialog_;
    QFont font_;
    DialogUnits units_;
    std::vector<Placed> controls_;
};

}  // namespace ulvren::views::qt
