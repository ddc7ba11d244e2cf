// Takes the screenshots of the README: the main window over a detected password disk, then the
// enter-password and the change-password dialog, each grabbed from the screen in the language
// that the environment chooses.
//
//   ulvren_screenshots DIRECTORY SUFFIX    writes main-SUFFIX.png, login-SUFFIX.png and
//                                          change-password-SUFFIX.png
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <iostream>

#include "host/platform.h"
#include "hosts/simulated/simulated_host.h"
#include "operations/device_mutex.h"
#include "protocol/vendor_protocol.h"
#include "support/simulated_recorders.h"
#include "ui/control_ids.h"
#include "views/qt/main_window_view.h"
#include "views/qt/tool_app.h"

using namespace ulvren;

namespace {

// The same moment on every run, so that the pictures only change when the windows do.
class FixedClock final : public Clock {
  public:
    LocalDateTime Now() const override { return {2012, 3, 4, 5, 6, 7}; }
};

// Grabs each dialog other than the main window once it has been painted, then closes it.
class DialogGrabber final : public QObject {
  public:
    DialogGrabber(QWidget& main_window, QString directory, QString suffix)
        : main_window_(main_window), directory_(std::move(directory)), suffix_(std::move(suffix)) {
        qApp->installEventFilter(this);
    }

    // The names of the dialogs' pictures, in the order they open.
    QStringList names{QStringLiteral("login"), QStringLiteral("change-password")};

    static void Grab(QWidget& window, const QString& path) {
        const QPixmap picture = window.screen()->grabWindow(window.winId());
        if (!picture.save(path)) {
            std::cerr << "cannot write " << path.toStdString() << '\n';
        }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (event->type() == QEvent::Paint && dialog != nullptr && dialog != &main_window_ &&
            !grabbed_.contains(dialog) && !names.isEmpty()) {
            grabbed_.append(dialog);
            const QString path = directory_ + '/' + names.takeFirst() + '-' + suffix_ + ".png";
            // Once the paint has reached the screen.
            QTimer::singleShot(200, dialog, [dialog, path] {
                Grab(*dialog, path);
                dialog->reject();
            });
        }
        return false;
    }

  private:
    QWidget& main_window_;
    QString directory_;
    QString suffix_;
    QList<QObject*> grabbed_;
};

}  // namespace

int main(int argc, char** argv) {
    views::CToolApp app(argc, argv);
    if (argc != 3) {
        std::cerr << "usage: ulvren_screenshots DIRECTORY SUFFIX\n";
        return 2;
    }
    const QString directory = QString::fromLocal8Bit(argv[1]);
    const QString suffix = QString::fromLocal8Bit(argv[2]);

    SimulatedHost host;
    RecorderSettings settings;
    settings.disk_type = DISK_TYPE_PASSWORD;
    host.AddDrive("C:\\", DriveKind::Fixed);
    host.AddRecorder("E:\\", testing::MakeRecorder(16'777'216, settings));
    ScopedHost installed(host);

    const FixedClock clock;
    views::QtMainWindowView window;
    CToolDlg logic(window, {OpenDeviceMutex(), &clock, &platform::SystemUiLanguage});
    window.Attach(logic);
    DialogGrabber grabber(window, directory, suffix);
    bool main_grabbed = false;
    QObject::connect(&window, &views::QtMainWindowView::workerEventHandled, &window, [&] {
        if (main_grabbed || window.ListSelection(CONTROL_DISK_TYPE_LIST) < 0) {
            return;
        }
        main_grabbed = true;
        QTimer::singleShot(200, &window, [&] {
            DialogGrabber::Grab(window, directory + "/main-" + suffix + ".png");
            logic.OnCommand(CONTROL_LOGIN_BUTTON);
            logic.OnCommand(CONTROL_CHANGE_PASSWORD_BUTTON);
            window.accept();
        });
    });
    window.Run();
    window.Detach();
    return main_grabbed ? 0 : 1;
}
