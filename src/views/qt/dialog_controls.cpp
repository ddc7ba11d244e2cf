#include "views/qt/dialog_controls.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "views/qt/control_factory.h"
#include "views/qt/password_validator.h"
#include "views/qt/utf8_text.h"

namespace ulvren::views::qt {
namespace {

// A control's caption as it shows; empty for a control without one.
QString Caption(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
        return group->title();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return edit->text();
    }
    return {};
}

}  // namespace

DialogControls::DialogControls(QDialog& dialog, const DialogTemplate& dialog_template)
    : dialog_(dialog), cells_(LayoutCells(dialog_template.id)) {
    dialog.setWindowTitle(FromUtf8(dialog_template.title));
    for (const ControlTemplate& control : dialog_template.controls) {
        controls_.push_back({control.id, CreateControl(dialog, control)});
    }
    LayOut(dialog, cells_, [this](int control) { return Widget(control); });
    for (const LayoutCell& cell : cells_) {
        if (cell.caption == 0) {
            continue;
        }
        if (auto* label = As<QLabel>(cell.caption)) {
            label->setBuddy(Widget(cell.control));
        } else {
            NameByCaption(cell.caption);
        }
    }
}

QWidget* DialogControls::Widget(int control) const {
    const auto found = std::ranges::find(controls_, control, &Control::id);
    return found != controls_.end() ? found->widget : nullptr;
}

void DialogControls::SetTitle(std::string_view text) {
    dialog_.setWindowTitle(FromUtf8(text));
}

void DialogControls::SetText(int control, std::string_view text) {
    QWidget* widget = Widget(control);
    const QString value = FromUtf8(text);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(value);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(value);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(value);
    }
    NameByCaption(control);
}

std::string DialogControls::Text(int control) const {
    return Caption(Widget(control)).toStdString();
}

void DialogControls::SetEnabled(int control, bool enabled) {
    if (QWidget* widget = Widget(control)) {
        widget->setEnabled(enabled);
    }
}

void DialogControls::LimitPasswordEdit(int control,
                                       std::function<bool(std::string_view text)> fits) {
    if (auto* edit = As<QLineEdit>(control)) {
        edit->setValidator(new PasswordValidator(std::move(fits), edit));
    }
}

QWidget* DialogControls::FirstTabStop() const {
    const auto first = std::ranges::find_if(controls_, [](const Control& control) {
        return control.widget->focusPolicy() == Qt::StrongFocus;
    });
    return first != controls_.end() ? first->widget : nullptr;
}

void DialogControls::NameByCaption(int caption) const {
    const QWidget* source = Widget(caption);
    if (source == nullptr || qobject_cast<const QLabel*>(source) != nullptr) {
        return;
    }
    for (const LayoutCell& cell : cells_) {
        if (cell.caption == caption) {
            Widget(cell.control)->setAccessibleName(Caption(source));
        }
    }
}

}  // namespace ulvren::views::qt
