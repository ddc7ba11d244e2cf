#include "views/qt/dialog_controls.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <algorithm>

#include "views/qt/control_factory.h"
#include "views/qt/password_validator.h"
#include "views/qt/utf8_text.h"

namespace ulvren::views::qt {
namespace {

// Space kept between a widened control and what stands to its right, in dialog units.
constexpr int kGapUnits = 2;

// What a caption (or a picker's value) needs across, in pixels, as the widget draws it; 0 when its
// width does not depend on a caption.
int CaptionWidth(const ControlTemplate& control, const QWidget& widget) {
    switch (control.kind) {
        case ControlKind::Label:
            return widget.fontMetrics().horizontalAdvance(
                static_cast<const QLabel&>(widget).text());
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton: {
            const QStyle& style = *widget.style();
            const int frame = style.pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &widget);
            const int margin = style.pixelMetric(QStyle::PM_ButtonMargin, nullptr, &widget);
            const QString& caption = static_cast<const QAbstractButton&>(widget).text();
            return widget.fontMetrics().horizontalAdvance(caption) + 2 * (frame + margin);
        }
        case ControlKind::AutoRadioButton:
        case ControlKind::AutoCheckBox:
        case ControlKind::DatePicker:
        case ControlKind::TimePicker:
            return widget.sizeHint().width();
        default:
            return 0;
    }
}

bool OverlapVertically(const QRect& a, const QRect& b) {
    return a.top() <= b.bottom() && b.top() <= a.bottom();
}

}  // namespace

DialogControls::DialogControls(QDialog& dialog, const DialogTemplate& dialog_template)
    : dialog_(dialog), font_(DialogFont(dialog_template)), units_(font_) {
    dialog.setFont(font_);
    dialog.setWindowTitle(FromUtf8(dialog_template.title));
    dialog.setFixedSize(units_.X(dialog_template.width), units_.Y(dialog_template.height));
    QWidget* previous_tab_stop = nullptr;
    for (const ControlTemplate& control : dialog_template.controls) {
        QWidget* widget = CreateControl(dialog, control);
        QRect rect = units_.ToPixels(control.rect);
        // A drop-down list's template height includes its dropped list; the closed box is as
        // high as the widget needs.
        if (control.kind == ControlKind::DropDownList) {
            rect.setHeight(widget->sizeHint().height());
        }
        widget->setGeometry(rect);
        controls_.push_back({&control, widget, rect});
        if (widget->focusPolicy() == Qt::StrongFocus) {
            if (previous_tab_stop != nullptr) {
                QWidget::setTabOrder(previous_tab_stop, widget);
            }
            previous_tab_stop = widget;
        }
    }
    for (const Placed& placed : controls_) {
        Fit(placed);
    }
}

QWidget* DialogControls::Widget(int control) const {
    const Placed* placed = Find(control);
    return placed != nullptr ? placed->widget : nullptr;
}

void DialogControls::SetTitle(std::string_view text) {
    dialog_.setWindowTitle(FromUtf8(text));
}

void DialogControls::SetText(int control, std::string_view text) {
    const Placed* placed = Find(control);
    if (placed == nullptr) {
        return;
    }
    const QString value = FromUtf8(text);
    QWidget* widget = placed->widget;
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(value);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(value);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(value);
    }
    Fit(*placed);
}

std::string DialogControls::Text(int control) const {
    const QWidget* widget = Widget(control);
    QString value;
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        value = label->text();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        value = button->text();
    } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
        value = group->title();
    } else if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        value = edit->text();
    }
    return value.toStdString();
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
    const auto first = std::find_if(controls_.begin(), controls_.end(), [](const Placed& placed) {
        return placed.widget->focusPolicy() == Qt::StrongFocus;
    });
    return first != controls_.end() ? first->widget : nullptr;
}

const DialogControls::Placed* DialogControls::Find(int control) const {
    const auto found = std::find_if(controls_.begin(), controls_.end(), [control](const Placed& p) {
        return p.control->id == control;
    });
    return found != controls_.end() ? &*found : nullptr;
}

// Controls of one kind that share a column in the template (the main window's buttons) keep
// one width: the widest caption's, within the room that each of them has.
void DialogControls::Fit(const Placed& placed) const {
    std::vector<const Placed*> column;
    int needed = 0;
    int room = RoomToTheRight(placed);
    for (const Placed& other : controls_) {
        if (other.control->kind == placed.control->kind &&
            other.rect.left() == placed.rect.left() && other.rect.width() == placed.rect.width()) {
            column.push_back(&other);
            needed = std::max(needed, CaptionWidth(*other.control, *other.widget));
            room = std::min(room, RoomToTheRight(other));
        }
    }
    const int width = std::max(placed.rect.width(), std::min(needed, placed.rect.width() + room));
    for (const Placed* member : column) {
        Place(*member, width);
    }
}

// Puts the control at its template place, `width` wide. A label whose caption is still too wide
// breaks into lines, centred on its row.
void DialogControls::Place(const Placed& placed, int width) const {
    QRect fitted(placed.rect.topLeft(), QSize(width, placed.rect.height()));
    if (auto* label = qobject_cast<QLabel*>(placed.widget)) {
        label->setWordWrap(CaptionWidth(*placed.control, *label) > width);
        const int height = label->wordWrap() ? label->heightForWidth(width) : 0;
        if (height > fitted.height()) {
            fitted.setTop(placed.rect.center().y() - height / 2);
            fitted.setHeight(height);
        }
    }
    placed.widget->setGeometry(fitted);
}

// How far the control may widen before it meets the next control on its row, the edge of the
// group box around it, or the edge of the dialog.
int DialogControls::RoomToTheRight(const Placed& placed) const {
    const QRect& own = placed.rect;
    int limit = placed.widget->parentWidget()->width();
    for (const Placed& other : controls_) {
        if (&other == &placed || !OverlapVertically(own, other.rect)) {
            continue;
        }
        const bool is_group = other.control->kind == ControlKind::GroupBox;
        if (is_group && other.rect.contains(own)) {
            limit = std::min(limit, other.rect.right() + 1);
        } else if (other.rect.left() > own.left()) {
            limit = std::min(limit, other.rect.left());
        }
    }
    return std::max(0, limit - units_.X(kGapUnits) - (own.right() + 1));
}

}  // namespace ulvren::views::qt
