// Takes the screenshots of the README: the main window over a detected password disk, then the
// enter-password and the change-password dialog, each grabbed from the screen in the language
// that the environment chooses.
//
//   ulvren_screenshots DIRECTORY SUFFIX    writes main-SUFFIX.png, login-SUFFIX.png and
//                                          change-password-SUFFIX.png
#include <xcb/xcb.h>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <functional>
#include <iostream>

#include "hosts/simulated/simulated_host.h"
#include "operations/device_mutex.h"
#include "protocol/vendor_protocol.h"
#include "support/simulated_recorders.h"
#include "ui/control_ids.h"
#include "ui/system_language.h"
#include "views/qt/main_window_view.h"
#include "views/qt/tool_app.h"

using namespace ulvren;

namespace {

// The same moment on every run, so that the pictures only change when the windows do.
class FixedClock final : public Clock {
  public:
    LocalDateTime Now() const override { return {2012, 3, 4, 5, 6, 7}; }
};

// Calls `then` once the window is on the screen with the window manager's frame around it and
// has stayed in place for a moment (or, where there is no window manager, after two seconds).
void WhenFramed(QWidget& window, std::function<void()> then, QRect last = {}, int tries = 40) {
    QTimer::singleShot(100, &window, [&window, then = std::move(then), last, tries]() mutable {
        const QRect frame = window.frameGeometry();
        const bool exposed = window.windowHandle() != nullptr && window.windowHandle()->isExposed();
        if ((exposed && frame.height() > window.height() && frame == last) || tries == 0) {
            then();
        } else {
            WhenFramed(window, std::move(then), frame, tries - 1);
        }
    });
}

// Where the window's client area really is on the screen, as the X server says: the window
// manager may have placed it elsewhere than the toolkit asked.
QPoint ClientOrigin(QWidget& window) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) {
        return window.geometry().topLeft();
    }
    xcb_connection_t* connection = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const auto cookie = xcb_translate_coordinates(
        connection, static_cast<xcb_window_t>(window.winId()), root, 0, 0);
    xcb_translate_coordinates_reply_t* reply =
        xcb_translate_coordinates_reply(connection, cookie, nullptr);
    if (reply == nullptr) {
        return window.geometry().topLeft();
    }
    const QPoint origin(reply->dst_x, reply->dst_y);
    std::free(reply);
    return origin;
}

// The window with its frame, as it is on the screen.
void Grab(QWidget& window, const QString& path) {
    const QMargins margins = window.windowHandle()->frameMargins();
    const QRect frame(ClientOrigin(window) - QPoint(margins.left(), margins.top()),
                      window.frameGeometry().size());
    const QPixmap picture =
        window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    if (!picture.save(path)) {
        std::cerr << "cannot write " << path.toStdString() << '\n';
    }
}

// Grabs each password dialog as it opens, then closes it.
class DialogGrabber final : public QObject {
  public:
    DialogGrabber(QWidget& main_window, QString directory, QString suffix)
        : main_window_(main_window), directory_(std::move(directory)), suffix_(std::move(suffix)) {
        qApp->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (event->type() == QEvent::Show && dialog != nullptr && dialog != &main_window_ &&
            !names_.isEmpty()) {
            const QString path = directory_ + '/' + names_.takeFirst() + '-' + suffix_ + ".png";
            WhenFramed(*dialog, [dialog, path] {
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
    // The pictures' names, in the order in which the dialogs open.
    QStringList names_{QStringLiteral("login"), QStringLiteral("change-password")};
};

}  // namespace

int main(int argc, char** argv) {
    views::qt::CToolApp app(argc, argv);
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
    views::qt::QtMainWindowView window;
    CToolDlg logic(window, {OpenDeviceMutex(), &clock, &SystemUiLanguage});
    window.Attach(logic);
    DialogGrabber grabber(window, directory, suffix);
    bool main_grabbed = false;
    QObject::connect(&window, &views::qt::QtMainWindowView::workerEventHandled, &window, [&] {
        if (main_grabbed || window.ListSelection(CONTROL_DISK_TYPE_LIST) < 0) {
            return;
        }
        main_grabbed = true;
        WhenFramed(window, [&] {
            Grab(window, directory + "/main-" + suffix + ".png");
            logic.OnCommand(CONTROL_LOGIN_BUTTON);
            logic.OnCommand(CONTROL_CHANGE_PASSWORD_BUTTON);
            window.accept();
        });
    });
    window.Run();
    window.Detach();
    return main_grabbed ? 0 : 1;
}
