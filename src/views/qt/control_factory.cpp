#include "views/qt/control_factory.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimeEdit>

#include "views/qt/utf8_text.h"

namespace ulvren::views::qt {
namespace {

// The locale's short date, with the year in four digits so that every year the picker takes can
// be typed.
QString ShortDateFormat() {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    static const QRegularExpression kShortYear(QStringLiteral("(?<!y)y{1,2}(?!y)"));
    format.replace(kShortYear, QStringLiteral("yyyy"));
    return format;
}

// The locale's time with seconds and without a time zone; a day period that Qt has no letter
// for ("B") becomes its AM/PM.
QString TimeFormat() {
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    static const QRegularExpression kTimeZone(QStringLiteral("\\[?t+\\]?"));
    format.replace(kTimeZone, QString());
    format.replace(QLatin1Char('B'), QStringLiteral("AP"));
    return format.simplified();
}

QWidget* CreateDatePicker(QWidget& parent) {
    auto* picker = new QDateEdit(&parent);
    picker->setDisplayFormat(ShortDateFormat());
    picker->setCalendarPopup(true);
    // Any date with a four-digit year, far beyond what 32-bit seconds hold.
    picker->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    return picker;
}

QWidget* CreateTimePicker(QWidget& parent) {
    auto* picker = new QTimeEdit(&parent);
    picker->setDisplayFormat(TimeFormat());
    return picker;
}

// A drop-down list whose items an assistive technology can also choose without opening it: it
// selects an item among the list's accessible children, which are the items of the closed popup's
// view, and that choice becomes the list's, as a choice from the popup does (`activated`).
QWidget* CreateDropDownList(QWidget& parent) {
    auto* list = new QComboBox(&parent);
    QObject::connect(
        list->view()->selectionModel(), &QItemSelectionModel::selectionChanged, list, [list] {
            // While the popup is open, its selection follows the pointer.
            if (list->view()->isVisible() || !list->isEnabled()) {
                return;
            }
            const QModelIndexList chosen = list->view()->selectionModel()->selectedIndexes();
            if (chosen.size() != 1 || chosen.front().row() == list->currentIndex()) {
                return;
            }
            list->setCurrentIndex(chosen.front().row());
            emit list->activated(list->currentIndex());
        });
    return list;
}

// Whether a push button is the dialog's default, the one that Enter presses wherever the focus.
enum class ButtonRole { Plain, Default };

QWidget* CreatePushButton(QWidget& parent, const QString& caption, ButtonRole role) {
    auto* button = new QPushButton(caption, &parent);
    // A push button with the focus takes Enter, as a dialog's buttons do.
    button->setAutoDefault(true);
    button->setDefault(role == ButtonRole::Default);
    return button;
}

QWidget* CreateOfKind(QWidget& parent, const ControlTemplate& control) {
    const QString caption = FromUtf8(control.caption);
    switch (control.kind) {
        case ControlKind::GroupBox:
            return new QGroupBox(caption, &parent);
        case ControlKind::Label: {
            auto* label = new QLabel(caption, &parent);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            label->setTextFormat(Qt::PlainText);
            return label;
        }
        case ControlKind::PushButton:
            return CreatePushButton(parent, caption, ButtonRole::Plain);
        case ControlKind::DefaultPushButton:
            return CreatePushButton(parent, caption, ButtonRole::Default);
        case ControlKind::AutoRadioButton:
            return new QRadioButton(caption, &parent);
        case ControlKind::AutoCheckBox:
            return new QCheckBox(caption, &parent);
        case ControlKind::DropDownList:
            return CreateDropDownList(parent);
        case ControlKind::DatePicker:
            return CreateDatePicker(parent);
        case ControlKind::TimePicker:
            return CreateTimePicker(parent);
        case ControlKind::PasswordEdit: {
            auto* edit = new QLineEdit(&parent);
            edit->setEchoMode(QLineEdit::Password);
            return edit;
        }
    }
    return new QWidget(&parent);
}

}  // namespace

QWidget* CreateControl(QWidget& parent, const ControlTemplate& control) {
    QWidget* widget = CreateOfKind(parent, control);
    widget->setObjectName(QString::number(control.id));
    if (control.kind != ControlKind::GroupBox && control.kind != ControlKind::Label) {
        widget->setFocusPolicy((control.styles & kTabStop) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
    }
    widget->setEnabled((control.styles & kDisabled) == 0);
    return widget;
}

}  // namespace ulvren::views::qt
