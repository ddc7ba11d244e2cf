#include "views/qt/main_window_view.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "text/text_catalogue.h"
#include "text/text_ids.h"
#include "ui/control_ids.h"
#include "ui/dialog_templates.h"
#include "ui/system_language.h"
#include "views/qt/application_icon.h"
#include "views/qt/message_box.h"
#include "views/qt/password_dialog_view.h"
#include "views/qt/utf8_text.h"

namespace ulvren::views::qt {
namespace {

// The buttons whose press the logic handles.
constexpr int kCommandButtons[] = {CONTROL_SET_CLOCK_BUTTON, CONTROL_FORMAT_BUTTON,
                                   CONTROL_LOGIN_BUTTON, CONTROL_CHANGE_PASSWORD_BUTTON};

const DialogTemplate* FindPasswordTemplate(int template_id) {
    for (const DialogTemplate* candidate : {&EnterPasswordTemplate(), &ChangePasswordTemplate()}) {
        if (candidate->id == template_id) {
            return candidate;
        }
    }
    return nullptr;
}

}  // namespace

QtMainWindowView::QtMainWindowView()
    : QDialog(nullptr, kMainWindowFrame), DialogControls(*this, MainWindowTemplate()) {
    // The two radio buttons are one group: exactly one of them is checked.
    auto* radios = new QButtonGroup(this);
    radios->addButton(As<QAbstractButton>(CONTROL_SYSTEM_TIME_RADIO));
    radios->addButton(As<QAbstractButton>(CONTROL_CUSTOM_TIME_RADIO));
    // The list names the two disk types as the command line does, in the user's language.
    auto* list = As<QComboBox>(CONTROL_DISK_TYPE_LIST);
    for (const TextId item : {TEXT_PUBLIC_DISK, TEXT_PASSWORD_DISK}) {
        list->addItem(FromUtf8(LocalizedTextUtf8(item, SystemUiLanguage())));
    }
    list->setCurrentIndex(-1);
    AddRecorderRow();
    timer_.setObjectName(QStringLiteral("tick"));
    pause_.setObjectName(QStringLiteral("pause"));
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (logic_ != nullptr) {
            logic_->OnTimer();
        }
    });
    // Once closed, the window shows nothing more, also of what was queued before.
    connect(this, &QDialog::finished, this, [this] {
        if (logic_ != nullptr) {
            logic_->OnDestroy();
        }
    });
    ConnectCommands();
}

void QtMainWindowView::AddRecorderRow() {
    // Above the device group, in the layout that holds the groups; hidden, it takes no room.
    QWidget* group = Widget(CONTROL_DEVICE_GROUP);
    auto* column = qobject_cast<QBoxLayout*>(group->parentWidget()->layout());
    auto* row = new QWidget(group->parentWidget());
    row->setObjectName(QStringLiteral("recorderRow"));
    auto* row_layout = new QHBoxLayout(row);
    row_layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(row);
    auto* list = new QComboBox(row);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // A tab stop as the template's list is, that the wheel does not turn in passing.
    list->setFocusPolicy(Qt::StrongFocus);
    label->setBuddy(list);
    row_layout->addWidget(label);
    row_layout->addWidget(list);
    row_layout->addStretch();
    row->hide();
    if (column != nullptr) {
        column->insertWidget(0, row);
    }
    // First in the tab order, as it stands first in the window.
    if (QWidget* first = FirstTabStop()) {
        QWidget::setTabOrder(list, first);
    }
    for (const auto& [id, widget] :
         {std::pair<int, QWidget*>{CONTROL_RECORDER_LABEL, label}, {CONTROL_RECORDER_LIST, list}}) {
        widget->setObjectName(QString::number(id));
        AddControl(id, widget);
    }
}

void QtMainWindowView::ShowRecorderList(const std::vector<std::string>& items, int selected) {
    auto* list = As<QComboBox>(CONTROL_RECORDER_LIST);
    bool same = list->count() == static_cast<int>(items.size());
    for (int i = 0; same && i < list->count(); ++i) {
        same = list->itemText(i) == FromUtf8(items[static_cast<std::size_t>(i)]);
    }
    if (!same) {
        list->clear();
        for (const std::string& item : items) {
            list->addItem(FromUtf8(item));
        }
    }
    list->setCurrentIndex(selected);
    list->parentWidget()->setVisible(items.size() > 1);
}

std::vector<std::string> QtMainWindowView::RecorderItems() const {
    const auto* list = As<QComboBox>(CONTROL_RECORDER_LIST);
    std::vector<std::string> items;
    for (int i = 0; !list->parentWidget()->isHidden() && i < list->count(); ++i) {
        items.push_back(list->itemText(i).toStdString());
    }
    return items;
}

void QtMainWindowView::Attach(CToolDlg& logic) {
    logic_ = &logic;
}

void QtMainWindowView::Detach() {
    logic_ = nullptr;
}

void QtMainWindowView::Run() {
    if (logic_ != nullptr) {
        logic_->OnInitDialog();
    }
    // A modal run of its own that returns when the window closes, without making the window
    // modal to the rest of the program (the demo's device panel stays usable).
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    loop.exec();
    if (logic_ != nullptr) {
        logic_->OnDestroy();
    }
}

void QtMainWindowView::ConnectCommands() {
    for (const int control : kCommandButtons) {
        connect(As<QAbstractButton>(control), &QAbstractButton::clicked, this, [this, control] {
            if (logic_ != nullptr) {
                logic_->OnCommand(control);
            }
        });
    }
    // Only the user's choice, as a selection change notice is; the logic's own selections send
    // nothing.
    for (const int control : {CONTROL_DISK_TYPE_LIST, CONTROL_RECORDER_LIST}) {
        connect(As<QComboBox>(control), &QComboBox::activated, this, [this, control] {
            if (logic_ != nullptr) {
                logic_->OnCommand(control);
            }
        });
    }
}

void QtMainWindowView::SetChecked(int control, bool checked) {
    if (auto* button = As<QAbstractButton>(control)) {
        button->setChecked(checked);
    }
}

bool QtMainWindowView::Checked(int control) const {
    const auto* button = As<QAbstractButton>(control);
    return button != nullptr && button->isChecked();
}

void QtMainWindowView::SetDateTime(int control, const LocalDateTime& value) {
    auto* picker = As<QDateTimeEdit>(control);
    if (picker == nullptr) {
        return;
    }
    // Each picker takes the part it shows; a part that names no real date or time is not taken.
    const QDate date(value.year, value.month, value.day);
    const QTime time(value.hour, value.minute, value.second);
    if (control == CONTROL_DATE_PICKER && date.isValid()) {
        picker->setDate(date);
    } else if (control == CONTROL_TIME_PICKER && time.isValid()) {
        picker->setTime(time);
    }
}

std::optional<LocalDateTime> QtMainWindowView::DateTime(int control) const {
    const auto* picker = As<QDateTimeEdit>(control);
    if (picker == nullptr) {
        return std::nullopt;
    }
    const QDate date = picker->date();
    const QTime time = picker->time();
    if (!date.isValid() || !time.isValid()) {
        return std::nullopt;
    }
    return LocalDateTime{date.year(), date.month(),  date.day(),
                         time.hour(), time.minute(), time.second()};
}

void QtMainWindowView::SetListSelection(int control, int index) {
    if (auto* list = As<QComboBox>(control)) {
        list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
    }
}

int QtMainWindowView::ListSelection(int control) const {
    const auto* list = As<QComboBox>(control);
    return list != nullptr ? list->currentIndex() : -1;
}

void QtMainWindowView::SetFocus(int control) {
    if (QWidget* widget = Widget(control)) {
        widget->setFocus(Qt::OtherFocusReason);
    }
}

void QtMainWindowView::SetIcon(int resource_id) {
    setWindowIcon(ApplicationIcon(resource_id));
}

void QtMainWindowView::StartTimer(std::chrono::milliseconds period) {
    timer_.start(period);
}

void QtMainWindowView::StopTimer() {
    timer_.stop();
}

void QtMainWindowView::ShowMessageBox(std::string_view text) {
    emit messageShown(std::string(text));
    ShowWarningBox(*this, text);
}

void QtMainWindowView::Pause(std::chrono::milliseconds duration) {
    pause_.Wait(duration);
}

void QtMainWindowView::ShowFormatRunning(bool running) {
    if (running) {
        setCursor(Qt::BusyCursor);
    } else {
        unsetCursor();
    }
    end_requests_.Hold(running);
}

DialogResult QtMainWindowView::RunModalDialog(int template_id, DialogLogic& logic) {
    const DialogTemplate* dialog_template = FindPasswordTemplate(template_id);
    if (dialog_template == nullptr) {
        return DialogResult::Cancel;
    }
    PasswordDialogView dialog(*dialog_template, this);
    return dialog.Run(logic);
}

void QtMainWindowView::NotifyWorkerEvent(const WorkerEvent& /*event*/) {
    // Called on worker threads. The logic keeps the event itself; the call is queued for the
    // window's thread, after what is already queued there.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (logic_ != nullptr) {
                logic_->OnWorkerEvent();
                emit workerEventHandled();
            }
        },
        Qt::QueuedConnection);
}

void QtMainWindowView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace ulvren::views::qt
