// The Qt window over a simulated 512 GiB recorder, driven as a user drives it: start-up, format
// as a password disk, login, change password with a wrong and then the right old password, set
// the clock, a capacity that cannot be read. It reads every message box and what the window
// showed when it came up, and measures how long the window's thread is kept from its event loop
// while the format runs.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QWindow>
#include <csignal>

#include "host/host.h"
#include "hosts/simulated/simulated_machine.h"
#include "operations/device_mutex.h"
#include "protocol/vendor_protocol.h"
#include "recorder/recorder_settings.h"
#include "text/text_catalogue.h"
#include "text/text_ids.h"
#include "ui/control_ids.h"
#include "views/loop_gap_meter.h"
#include "views/modal_watcher.h"
#include "views/qt/device_change_relay.h"
#include "views/qt/input_free_pause.h"
#include "views/qt/main_window_view.h"
#include "views/qt/tool_app.h"

using namespace ulvren;

namespace {

constexpr std::uint64_t k512GiBSectors = 1ull << 30;
constexpr const char* kCapacity = "524288 MB";
constexpr UiLanguage kEnglish = UiLanguage::EnglishUnitedStates;

std::string Text(TextId id) {
    return LocalizedTextUtf8(id, kEnglish);
}

class TestClock final : public Clock {
  public:
    LocalDateTime Now() const override { return now; }
    LocalDateTime now{2012, 3, 4, 5, 6, 7};
};

// Counts the paints of a widget.
class PaintCounter final : public QObject {
  public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int paints = 0;

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

}  // namespace

class WindowFlowTest final : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    // First: it leaves the recorder a public disk, as it found it (an even number of cases),
    // and no fault in force.
    void closeDuringFormat();
    void flow();
    void cleanupTestCase();

  private:
    void OpenWindow();
    void CloseWindow();
    template <class T = QWidget>
    T* Control(int id) {
        auto* widget = window_->findChild<T*>(QString::number(id));
        if (widget == nullptr) {
            qFatal("no control %d", id);
        }
        return widget;
    }
    // Which of the controls that the logic enables and disables are enabled, and the capacity.
    std::string Snapshot();
    // Spins the event loop until `done` holds, waking at each worker event the window handled.
    bool WaitForWindow(const std::function<bool()>& done);
    bool WaitForBoxes(std::size_t count);
    void Click(int id) { QTest::mouseClick(Control(id), Qt::LeftButton); }
    // Types each character as a key of its own, beyond ASCII too.
    static void Type(QLineEdit& edit, const QString& text) {
        for (const QChar character : text) {
            QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_unknown, QString(character),
                                Qt::NoModifier);
        }
    }
    RecorderSettings Settings() const;

    QTemporaryDir directory_;
    std::optional<SimulatedMachine> machine_;
    std::optional<ScopedHost> installed_;
    TestClock clock_;
    std::unique_ptr<views::qt::QtMainWindowView> window_;
    std::unique_ptr<CToolDlg> logic_;
    std::unique_ptr<views::qt::DeviceChangeRelay> relay_;
    std::unique_ptr<testing::ModalWatcher> watcher_;
};

void WindowFlowTest::initTestCase() {
    QVERIFY(directory_.isValid());
    SimulatedMachineError error;
    SimulatedMachineOptions options;
    options.image_path = directory_.filePath("recorder.img").toStdString();
    options.sector_count = k512GiBSectors;
    machine_ = OpenSimulatedMachine(options, error);
    QVERIFY2(machine_.has_value(), error.text.c_str());
    installed_.emplace(*machine_->host);

    OpenWindow();
}

void WindowFlowTest::OpenWindow() {
    window_ = std::make_unique<views::qt::QtMainWindowView>();
    logic_ = std::make_unique<CToolDlg>(
        *window_, CToolDlg::Environment{OpenDeviceMutex(), &clock_, [] { return kEnglish; }});
    window_->Attach(*logic_);
    // The machine tells the window of the recorder going and coming, as the system would.
    relay_ =
        std::make_unique<views::qt::DeviceChangeRelay>(machine_->host->DeviceChanges(), *logic_);
    watcher_ = std::make_unique<testing::ModalWatcher>(*window_, [this] { return Snapshot(); });
}

void WindowFlowTest::CloseWindow() {
    if (window_ == nullptr) {
        return;
    }
    logic_->OnDestroy();
    window_->Detach();
    relay_.reset();
    // Waits for a format that is still running.
    logic_.reset();
    window_.reset();
}

void WindowFlowTest::cleanupTestCase() {
    CloseWindow();
}

std::string WindowFlowTest::Snapshot() {
    std::string shown = window_->Text(CONTROL_CAPACITY_FIELD) + " |";
    for (const int id : {CONTROL_FORMAT_BUTTON, CONTROL_DISK_TYPE_LIST, CONTROL_SET_CLOCK_BUTTON,
                         CONTROL_LOGIN_BUTTON, CONTROL_CHANGE_PASSWORD_BUTTON}) {
        shown += Control(id)->isEnabled() ? " on" : " off";
    }
    return shown;
}

bool WindowFlowTest::WaitForWindow(const std::function<bool()>& done) {
    QSignalSpy handled(window_.get(), &views::qt::QtMainWindowView::workerEventHandled);
    const QDeadlineTimer deadline(120'000);
    while (!done()) {
        if (!handled.wait(static_cast<int>(deadline.remainingTime()))) {
            return done();
        }
    }
    return true;
}

bool WindowFlowTest::WaitForBoxes(std::size_t count) {
    QSignalSpy closed(watcher_.get(), &testing::ModalWatcher::boxClosed);
    const QDeadlineTimer deadline(120'000);
    while (watcher_->Boxes().size() < count) {
        if (!closed.wait(static_cast<int>(deadline.remainingTime()))) {
            break;
        }
    }
    return watcher_->Boxes().size() >= count;
}

RecorderSettings WindowFlowTest::Settings() const {
    std::string error;
    return LoadSettingsFile(StateFilePathFor(directory_.filePath("recorder.img").toStdString()),
                            error)
        .value_or(RecorderSettings{});
}

void WindowFlowTest::flow() {
    auto* pause = window_->findChild<views::qt::InputFreePause*>("pause");
    QVERIFY(pause != nullptr);
    // What each pause does while it runs; it ends up here from inside the pause's own loop.
    std::deque<std::function<void()>> during_pauses;
    connect(
        pause, &views::qt::InputFreePause::started, this,
        [&] {
            if (!during_pauses.empty()) {
                during_pauses.front()();
                during_pauses.pop_front();
            }
        },
        Qt::QueuedConnection);
    // How often the window was painted during the last pause.
    PaintCounter paints(*window_);
    int paints_at_start = 0;
    int paints_in_pause = 0;
    bool pausing = false;
    QElapsedTimer since_format;
    qint64 format_ms = -1;
    connect(pause, &views::qt::InputFreePause::started, this, [&] {
        pausing = true;
        format_ms = format_ms < 0 ? since_format.elapsed() : format_ms;
        paints_at_start = paints.paints;
    });
    connect(pause, &views::qt::InputFreePause::finished, this, [&] {
        pausing = false;
        paints_in_pause = paints.paints - paints_at_start;
    });

    // Start-up: the template's window, then the first detection.
    logic_->OnInitDialog();
    window_->show();
    QCOMPARE(window_->windowTitle(), QStringLiteral("Ulvren Tool"));
    QCOMPARE(window_->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
             Qt::WindowFlags());
    QCOMPARE(window_->focusWidget(), Control(CONTROL_SET_CLOCK_BUTTON));
    auto* list = Control<QComboBox>(CONTROL_DISK_TYPE_LIST);
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->itemText(0), QStringLiteral("Public Disk"));
    QCOMPARE(list->itemText(1), QStringLiteral("Password Disk"));
    QVERIFY(Control<QRadioButton>(CONTROL_SYSTEM_TIME_RADIO)->isChecked());
    QVERIFY(Control<QCheckBox>(CONTROL_TIME_STAMP_CHECK)->isChecked());
    QCOMPARE(Control<QPushButton>(CONTROL_FORMAT_BUTTON)->text(), QStringLiteral("Format"));
    QVERIFY(WaitForWindow([&] { return list->currentIndex() == 0; }));
    QCOMPARE(Snapshot(), std::string(kCapacity) + " | on on on off off");

    // Format as a password disk. The window's thread keeps turning while 1 GiB of FATs is
    // written; the pause that follows takes no input but keeps painting.
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(logic_->State().members.disk_type_index.Get(), 1);
    during_pauses.push_back([&] {
        Click(CONTROL_SET_CLOCK_BUTTON);                 // dropped: no clock is set
        QTest::keyClick(window_.get(), Qt::Key_Escape);  // dropped: the window stays
        window_->update();
    });
    testing::LoopGapMeter gaps;
    gaps.Start();
    since_format.start();
    Click(CONTROL_FORMAT_BUTTON);
    // The cursor shows that the window is busy while its format runs, and no longer after it.
    QCOMPARE(window_->cursor().shape(), Qt::BusyCursor);
    QVERIFY(WaitForBoxes(1));
    const double longest_gap_ms = gaps.Stop();
    qInfo(
        "longest event-loop gap during a 512 GiB format: %.1f ms (format %lld ms, then the "
        "pause and the box)",
        longest_gap_ms, static_cast<long long>(format_ms));
    // Half of the format's own time: a format run on the window's thread could never stay below
    // that, while a loaded machine that stops this process for a while still does. How short
    // the gaps are on a quiet machine is bench/window_benchmark.sh's to say.
    QVERIFY(format_ms > 0);
    QVERIFY2(longest_gap_ms < static_cast<double>(format_ms) / 2,
             "the window's thread was kept from its loop");
    QVERIFY(paints_in_pause > 0);
    QVERIFY(window_->isVisible());
    QCOMPARE(Settings().disk_type, DISK_TYPE_PASSWORD);
    QVERIFY(WaitForWindow([&] { return window_->cursor().shape() == Qt::ArrowCursor; }));

    // Login, in an edit that takes at most twelve bytes of code page 1252 ("é" is one of them)
    // and refuses what the code page cannot hold, typed or pasted. The recorder goes away while
    // the pause runs: that detection's box waits until the login's box is up.
    watcher_->Expect([&](QDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QString::fromStdString(Text(TEXT_ENTER_PASSWORD)));
        QCOMPARE(dialog.focusWidget(), dialog.findChild<QPushButton*>("1"));
        auto* edit = dialog.findChild<QLineEdit*>("1023");
        QCOMPARE(edit->echoMode(), QLineEdit::Password);
        Type(*edit, QStringLiteral("abcdefghijkémn"));
        QCOMPARE(edit->text(), QStringLiteral("abcdefghijké"));
        edit->clear();
        Type(*edit, QStringLiteral("ab密c"));
        QCOMPARE(edit->text(), QStringLiteral("abc"));
        QGuiApplication::clipboard()->setText(QStringLiteral("0123456789"));
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral("abc"));
        edit->clear();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral("0123456789"));
        // The recorder's password is still empty.
        edit->clear();
        QTest::keyClick(edit, Qt::Key_Return);
    });
    during_pauses.push_back([&] {
        machine_->host->DenyAccess("D:\\");
        machine_->host->Unplug(SimulatedMachine::kRecorderRoot);
    });
    Click(CONTROL_LOGIN_BUTTON);
    QVERIFY(WaitForBoxes(3));

    // The recorder comes back.
    machine_->host->Plug(SimulatedMachine::kRecorderRoot);
    QVERIFY(WaitForWindow([&] { return Control(CONTROL_FORMAT_BUTTON)->isEnabled(); }));

    // Change password: a wrong old password, a confirmation that differs, then the right one.
    const auto change_password = [&](QString old_password, QString new_password,
                                     QString confirmation) {
        watcher_->Expect([=](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QString::fromStdString(Text(TEXT_CHANGE_PASSWORD)));
            QCOMPARE(dialog.focusWidget(), dialog.findChild<QPushButton*>("1"));
            QTest::keyClicks(dialog.findChild<QLineEdit*>("1026"), old_password);
            QTest::keyClicks(dialog.findChild<QLineEdit*>("1024"), new_password);
            QTest::keyClicks(dialog.findChild<QLineEdit*>("1025"), confirmation);
            QTest::mouseClick(dialog.findChild<QPushButton*>("1"), Qt::LeftButton);
        });
        Click(CONTROL_CHANGE_PASSWORD_BUTTON);
    };
    change_password("wrong", "secret", "secret");
    QVERIFY(WaitForBoxes(4));
    change_password("", "secret", "Secret");
    QVERIFY(WaitForBoxes(5));
    change_password("", "secret", "secret");
    QVERIFY(WaitForBoxes(6));
    QCOMPARE(Settings().password, std::string("secret"));

    // Set a custom clock beyond 32-bit time. The picker holds only dates that exist, and the
    // tick refreshes the current time alone, so the pickers keep what was set.
    Click(CONTROL_CUSTOM_TIME_RADIO);
    QVERIFY(!Control<QRadioButton>(CONTROL_SYSTEM_TIME_RADIO)->isChecked());
    auto* date = Control<QDateEdit>(CONTROL_DATE_PICKER);
    auto* time = Control<QTimeEdit>(CONTROL_TIME_PICKER);
    date->setDate(QDate(2100, 2, 28));
    date->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClicks(date, QStringLiteral("30"));
    QCOMPARE(date->date(), QDate(2100, 2, 28));
    time->setTime(QTime(5, 6, 7));
    clock_.now = {2030, 1, 2, 3, 4, 5};
    QSignalSpy tick(window_->findChild<QTimer*>("tick"), &QTimer::timeout);
    QVERIFY(tick.wait(3000));
    QCOMPARE(window_->Text(CONTROL_CURRENT_TIME), std::string("2030-01-02 03:04:05"));
    QCOMPARE(date->date(), QDate(2100, 2, 28));
    QCOMPARE(time->time(), QTime(5, 6, 7));
    Click(CONTROL_TIME_STAMP_CHECK);
    Click(CONTROL_SET_CLOCK_BUTTON);
    QVERIFY(WaitForBoxes(7));
    QCOMPARE(Settings().clock, std::string("21000228050607"));
    QVERIFY(!Settings().time_stamp);

    // A capacity that cannot be read.
    machine_->host->InjectVendorFault(VendorFault::NoReply, CMD_GET_CAPACITY);
    logic_->OnDeviceChange(DeviceChange::DiskArrived);
    QVERIFY(WaitForWindow(
        [&] { return window_->Text(CONTROL_CAPACITY_FIELD) == Text(TEXT_UNKNOWN_CAPACITY); }));

    // Every box, with what the window showed as it came up.
    const std::string password_disk = std::string(kCapacity) + " | on on on on on";
    const std::vector<std::pair<std::string, std::string>> expected = {
        {Text(TEXT_FORMAT_OK), password_disk},
        // The detection's outcome was kept until this box was up.
        {Text(TEXT_LOGIN_OK), password_disk},
        {Text(TEXT_NEEDS_RIGHTS), Text(TEXT_DEVICE_NOT_FOUND) + " | off off off on on"},
        {Text(TEXT_OLD_PASSWORD_WRONG), password_disk},
        {Text(TEXT_PASSWORD_MISMATCH), password_disk},
        {Text(TEXT_PASSWORD_CHANGED), password_disk},
        {Text(TEXT_CLOCK_SET), password_disk},
    };
    std::vector<std::pair<std::string, std::string>> shown;
    for (const testing::ModalWatcher::Box& box : watcher_->Boxes()) {
        shown.emplace_back(box.text, box.window);
        QCOMPARE(box.caption, QStringLiteral("ulvren_window_test"));
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.buttons, 1);
    }
    QCOMPARE(shown, expected);
    QVERIFY(!watcher_->ScriptsLeft());
    QVERIFY(!pausing);
}

// Closing the window while its format runs, by the close box in the pause after the format
// (taken when the pause ends) or by a request to end the program during the format: the format
// finishes, nothing more shows, the window closes, and the program lives on until it returns.
void WindowFlowTest::closeDuringFormat() {
    struct CloseCase {
        const char* name;
        int end_request;  // the signal sent during the format; 0: the close box, in the pause
    };
    const CloseCase cases[] = {
        {"close box in the pause", 0},
        {"SIGTERM during the format", SIGTERM},
        {"SIGHUP during the format", SIGHUP},
        {"SIGINT during the format", SIGINT},
    };
    for (const CloseCase& c : cases) {
        CloseWindow();
        OpenWindow();
        QSignalSpy closed(window_.get(), &QDialog::finished);
        logic_->OnInitDialog();
        window_->show();
        auto* list = Control<QComboBox>(CONTROL_DISK_TYPE_LIST);
        QVERIFY(WaitForWindow([&] { return list->currentIndex() >= 0; }));
        // The other disk type, so that the format shows in the recorder's settings.
        const int chosen = 1 - list->currentIndex();
        const auto want_type = chosen == 1 ? DISK_TYPE_PASSWORD : DISK_TYPE_PUBLIC;
        QTest::keyClick(list, chosen == 1 ? Qt::Key_Down : Qt::Key_Up);
        bool taken_in_pause = false;
        if (c.end_request == 0) {
            connect(
                window_->findChild<views::qt::InputFreePause*>("pause"),
                &views::qt::InputFreePause::started, window_.get(),
                [&] {
                    window_->windowHandle()->close();
                    taken_in_pause = !closed.isEmpty();
                },
                Qt::QueuedConnection);
        } else {
            // As whoever started the test may have left it: the request would end the program.
            std::signal(c.end_request, SIG_DFL);
        }
        Click(CONTROL_FORMAT_BUTTON);
        if (c.end_request != 0) {
            // Once the format's session is under way: before it, closing drops the format.
            QVERIFY(WaitForWindow([&] { return Settings().disk_type == want_type; }));
            std::raise(c.end_request);
        }
        QVERIFY2(!closed.isEmpty() || closed.wait(120'000), c.name);
        QVERIFY2(!taken_in_pause, c.name);
        QVERIFY2(!window_->isVisible(), c.name);
        CloseWindow();
        QCoreApplication::processEvents();
        QVERIFY2(watcher_->Boxes().empty(), c.name);
        QCOMPARE(Settings().disk_type, want_type);
    }
    OpenWindow();
}

int main(int argc, char** argv) {
    views::qt::CToolApp app(argc, argv);
    WindowFlowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_flow_test.moc"
