#include "views/qt/end_request_hold.h"

#include <QApplication>

namespace ulvren::views::qt {
namespace {

// On the window's thread: the boxes and dialogs over the window close first, so that nothing
// waits for an answer, then the window.
void CloseWindow(QWidget& window) {
    for (QWidget* other : QApplication::topLevelWidgets()) {
        if (other != &window && other->isVisible() && other->windowModality() != Qt::NonModal) {
            other->close();
        }
    }
    window.close();
}

}  // namespace

void EndRequestHold::Hold(bool held) {
    if (!held) {
        deferral_.reset();
        return;
    }
    if (deferral_ != nullptr) {
        return;
    }
    const std::string notice = QCoreApplication::applicationName().toStdString() +
                               ": the format goes on until it is done, then the window closes; a "
                               "second request ends the program at once\n";
    // Called on the deferral's thread. The window outlives the deferral, and a call still queued
    // when it goes is dropped with it.
    QWidget* window = &window_;
    deferral_ = platform::DeferEndRequests(notice, [window] {
        QMetaObject::invokeMethod(
            window, [window] { CloseWindow(*window); }, Qt::QueuedConnection);
    });
}

}  // namespace ulvren::views::qt
