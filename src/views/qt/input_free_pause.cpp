#include "views/qt/input_free_pause.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>
#include <utility>

namespace ulvren::views::qt {
namespace {

bool IsUserInput(const QEvent& event) {
    switch (event.type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
    }
}

}  // namespace

void InputFreePause::Wait(std::chrono::milliseconds duration) {
    QEventLoop loop;
    QTimer::singleShot(duration, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    QCoreApplication::instance()->installEventFilter(this);
    emit started();
    loop.exec();
    // What the window system queued in the pause's last moment is read while the filter still
    // holds: a close among it is kept for below, where a modal box opened next would drop it.
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(this);
    emit finished();
    // Asked again, now that the window takes it.
    for (const QPointer<QWindow>& window : std::exchange(close_requests_, {})) {
        if (window != nullptr) {
            window->close();
        }
    }
}

bool InputFreePause::eventFilter(QObject* watched, QEvent* event) {
    // Only what comes from the user: the window's own calls (a programmatic close) still pass.
    if (!event->spontaneous()) {
        return false;
    }
    // The system's close request reaches the window's QWindow before its widget.
    if (event->type() == QEvent::Close) {
        if (auto* window = qobject_cast<QWindow*>(watched);
            window != nullptr && !close_requests_.contains(window)) {
            close_requests_.append(window);
        }
        return true;
    }
    return IsUserInput(*event);
}

}  // namespace ulvren::views::qt
