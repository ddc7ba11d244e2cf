// The Qt windows in each language at a scale factor of 2 on a small offscreen screen: no text cut
// or overlapping, controls within their group boxes, the templates' tab order, names for
// assistive technology, the list chosen through it, password dialogs that block the main window
// alone, and the demo's windows on the screen.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDeadlineTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "hosts/simulated/simulated_host.h"
#include "operations/device_mutex.h"
#include "protocol/vendor_protocol.h"
#include "support/simulated_recorders.h"
#include "ui/control_ids.h"
#include "ui/password_dialogs.h"
#include "views/qt/demo/device_panel.h"
#include "views/qt/interface_font.h"
#include "views/qt/main_window_view.h"
#include "views/qt/password_dialog_view.h"
#include "views/qt/tool_app.h"

using namespace ulvren;

Q_DECLARE_METATYPE(ulvren::UiLanguage)

namespace {

constexpr const char* kRecorderRoot = "E:\\";

class FixedClock final : public Clock {
  public:
    LocalDateTime Now() const override { return {2012, 3, 4, 5, 6, 7}; }
};

// The main window in `language` over a simulated password disk, shown once its first detection
// has filled the capacity field.
struct ShownWindow {
    explicit ShownWindow(UiLanguage language)
        : installed(WithRecorder(host)),
          logic(view, {OpenDeviceMutex(), &clock, [language] { return language; }}) {
        view.Attach(logic);
        logic.OnInitDialog();
        view.show();
        QSignalSpy handled(&view, &views::qt::QtMainWindowView::workerEventHandled);
        const QDeadlineTimer deadline(60'000);
        while (!view.Text(CONTROL_CAPACITY_FIELD).ends_with(" MB") &&
               handled.wait(static_cast<int>(deadline.remainingTime()))) {
        }
    }
    ~ShownWindow() {
        logic.OnDestroy();
        view.Detach();
    }
    static SimulatedHost& WithRecorder(SimulatedHost& host) {
        RecorderSettings settings;
        settings.disk_type = DISK_TYPE_PASSWORD;
        host.AddRecorder(kRecorderRoot, testing::MakeRecorder(16'777'216, settings));
        return host;
    }
    QWidget* Control(int id) const { return view.findChild<QWidget*>(QString::number(id)); }

    SimulatedHost host;
    ScopedHost installed;
    FixedClock clock;
    views::qt::QtMainWindowView view;
    CToolDlg logic;
};

QString Describe(const QWidget& widget) {
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        text = label->text();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        text = button->text();
    }
    return QStringLiteral("control %1 \"%2\"").arg(widget.objectName(), text);
}

// The template's controls on `dialog` fit their texts, stand apart, stay within their group box
// or dialog, keep the template's tab order, and each that takes input has a name of its own.
void CheckLaidOut(QWidget& dialog, const DialogTemplate& dialog_template) {
    std::vector<QWidget*> controls;
    std::vector<QWidget*> tab_stops;
    for (const ControlTemplate& control : dialog_template.controls) {
        controls.push_back(dialog.findChild<QWidget*>(QString::number(control.id)));
        if (controls.back()->focusPolicy() == Qt::StrongFocus) {
            tab_stops.push_back(controls.back());
        }
    }
    for (QWidget* widget : controls) {
        const QString what = Describe(*widget);
        const QSize hint = widget->sizeHint();
        QVERIFY2(widget->width() >= hint.width() && widget->height() >= hint.height(),
                 qPrintable(what + " is smaller than it asks"));
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            QVERIFY2(
                !label->wordWrap() && label->contentsRect().width() >=
                                          label->fontMetrics().horizontalAdvance(label->text()),
                qPrintable(what + " cuts its text"));
        }
        const QWidget* parent = widget->parentWidget();
        QVERIFY2(parent->contentsRect().contains(widget->geometry()),
                 qPrintable(what + " leaves " + parent->objectName()));
        for (QWidget* other : controls) {
            QVERIFY2(other == widget || other->parentWidget() != parent ||
                         !other->geometry().intersects(widget->geometry()),
                     qPrintable(what + " overlaps " + Describe(*other)));
        }
        if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QDateTimeEdit*>(widget) ||
            qobject_cast<QComboBox*>(widget)) {
            const QString name =
                QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
            // Not the group box's title, which stands in for a missing name.
            const auto* group = qobject_cast<const QGroupBox*>(parent);
            QVERIFY2(!name.isEmpty() && (group == nullptr || name != group->title()),
                     qPrintable(what + " has no name of its own"));
        }
    }
    std::vector<QWidget*> chain;
    QWidget* widget = tab_stops.front();
    do {
        if (std::ranges::find(tab_stops, widget) != tab_stops.end()) {
            chain.push_back(widget);
        }
        widget = widget->nextInFocusChain();
    } while (widget != tab_stops.front());
    QVERIFY(chain == tab_stops);
}

}  // namespace

class LayoutTest final : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { desktop_font_ = QApplication::font(); }
    // The locale that the test was started in, for the next test.
    void init() { qunsetenv("LC_ALL"); }
    void dialogs_data();
    void dialogs();
    void languageFont_data();
    void languageFont();
    void passwordDialogBlocksOnlyTheWindow();
    void listChosenThroughAccessibility();
    void windowsStayOnSmallScreen();

  private:
    QFont desktop_font_;
};

void LayoutTest::dialogs_data() {
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QByteArray>("locale");
    QTest::newRow("English") << UiLanguage::EnglishUnitedStates << QByteArray("en_US.UTF-8");
    QTest::newRow("Simplified") << UiLanguage::ChineseSimplified << QByteArray("zh_CN.UTF-8");
    QTest::newRow("Traditional") << UiLanguage::ChineseTraditional << QByteArray("zh_TW.UTF-8");
}

void LayoutTest::dialogs() {
    QFETCH(UiLanguage, language);
    QFETCH(QByteArray, locale);
    // As a program started in that locale: its font, and the list's items in its language.
    qputenv("LC_ALL", locale);
    QApplication::setFont(desktop_font_);
    views::qt::UseLanguageFont(language);
    ShownWindow window(language);
    QVERIFY(window.view.Text(CONTROL_CAPACITY_FIELD).ends_with(" MB"));
    CheckLaidOut(window.view, MainWindowTemplate());
    // A second recorder: the list of recorders and its label show above the groups, laid out as
    // the template's controls are; once it is gone the window is as it was.
    const QSize one_recorder = window.view.size();
    QWidget* list = window.Control(CONTROL_RECORDER_LIST);
    const auto detect = [&window](bool shown_after) {
        window.logic.OnDeviceChange(DeviceChange::DiskArrived);
        QSignalSpy handled(&window.view, &views::qt::QtMainWindowView::workerEventHandled);
        while (window.Control(CONTROL_RECORDER_LIST)->isVisible() != shown_after &&
               handled.wait(60'000)) {
        }
    };
    window.host.AddRecorder("F:\\", testing::MakeRecorder(16'777'216, {}));
    detect(true);
    QVERIFY(list->isVisible());
    constexpr ControlTemplate kRecorderRow[] = {
        {CONTROL_RECORDER_LABEL, ControlKind::Label, "", {}, kStartsGroup},
        {CONTROL_RECORDER_LIST, ControlKind::DropDownList, "", {}, kTabStop}};
    DialogTemplate recorder_row = MainWindowTemplate();
    recorder_row.controls = kRecorderRow;
    CheckLaidOut(window.view, recorder_row);
    window.host.Unplug("F:\\");
    detect(false);
    QVERIFY(!list->isVisible());
    QCOMPARE(window.view.size(), one_recorder);
    CLoginDlg login(language);
    CChangePasswordDlg change_password(language);
    const std::pair<const DialogTemplate*, DialogLogic*> dialogs[] = {
        {&EnterPasswordTemplate(), &login}, {&ChangePasswordTemplate(), &change_password}};
    for (const auto& [dialog_template, logic] : dialogs) {
        views::qt::PasswordDialogView dialog(*dialog_template, &window.view);
        logic->OnInitDialog(dialog);
        dialog.show();
        CheckLaidOut(dialog, *dialog_template);
    }
}

void LayoutTest::languageFont_data() {
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("face");  // empty: the desktop's font as it is
    const QStringList noto{"Noto Sans CJK SC", "Noto Sans CJK TC"};
    const QStringList simplified_only{"Noto Sans CJK SC", "WenQuanYi Micro Hei", "AR PL UMing CN"};
    QTest::newRow("English") << UiLanguage::EnglishUnitedStates << noto << "";
    QTest::newRow("Traditional") << UiLanguage::ChineseTraditional << noto << "Noto Sans CJK TC";
    QTest::newRow("Simplified") << UiLanguage::ChineseSimplified << noto << "Noto Sans CJK SC";
    QTest::newRow("Traditional, Simplified faces only")
        << UiLanguage::ChineseTraditional << simplified_only << "";
}

void LayoutTest::languageFont() {
    QFETCH(UiLanguage, language);
    QFETCH(QStringList, installed);
    QFETCH(QString, face);
    const auto font = views::qt::LanguageFont(desktop_font_, language, installed);
    QCOMPARE(font ? font->families() : QStringList(),
             face.isEmpty() ? QStringList() : QStringList({face, desktop_font_.family()}));
}

// While a password dialog runs, the demo's device panel still takes clicks and the main window
// takes none.
void LayoutTest::passwordDialogBlocksOnlyTheWindow() {
    ShownWindow window(UiLanguage::EnglishUnitedStates);
    views::qt::DevicePanel panel(window.host, kRecorderRoot, QStringLiteral("recorder.img"));
    panel.ShowBeside(window.view);
    QWidget* usb_disk = panel.findChildren<QCheckBox*>().constLast();
    auto* custom_time = qobject_cast<QAbstractButton*>(window.Control(CONTROL_CUSTOM_TIME_RADIO));
    // Through the window system, which holds back what a modal window blocks.
    const auto click = [](QWidget* widget) {
        QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {},
                          widget->mapTo(widget->window(), widget->rect().center()));
    };
    QMetaObject::invokeMethod(
        &panel,
        [&] {
            click(usb_disk);
            click(custom_time);
            QApplication::activeModalWidget()->close();
        },
        Qt::QueuedConnection);
    CLoginDlg login(UiLanguage::EnglishUnitedStates);
    QCOMPARE(window.view.RunModalDialog(IDD_ENTER_PASSWORD, login), DialogResult::Cancel);
    QVERIFY(qobject_cast<QCheckBox*>(usb_disk)->isChecked());
    QVERIFY(!custom_time->isChecked());
}

// An assistive technology selects the public disk among the list's accessible items; the logic
// takes it as the user's choice.
void LayoutTest::listChosenThroughAccessibility() {
    ShownWindow window(UiLanguage::EnglishUnitedStates);
    QCOMPARE(window.logic.State().members.disk_type_index.Get(), 1);
    QAccessibleInterface* item =
        QAccessible::queryAccessibleInterface(window.Control(CONTROL_DISK_TYPE_LIST))
            ->child(0)
            ->child(0);
    QCOMPARE(item->text(QAccessible::Name), QStringLiteral("Public Disk"));
    item->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCOMPARE(window.logic.State().members.disk_type_index.Get(), 0);
}

// On a screen of 320 by 240 pixels as the program sees it, the window, which scrolls there, and
// the panel, with an image path far wider than the screen, both stay on it.
void LayoutTest::windowsStayOnSmallScreen() {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(available.width() <= 320, "the test runs at a scale factor of 2 on 640x480");
    ShownWindow window(UiLanguage::EnglishUnitedStates);
    views::qt::DevicePanel panel(window.host, kRecorderRoot,
                                 QStringLiteral("/home/somebody/%1recorder.img")
                                     .arg(QString("long-folder-name/").repeated(12)));
    panel.ShowBeside(window.view);
    QVERIFY(available.contains(window.view.frameGeometry()));
    QVERIFY(available.contains(panel.frameGeometry()));
}

int main(int argc, char** argv) {
    views::qt::CToolApp app(argc, argv);
    LayoutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "layout_test.moc"
