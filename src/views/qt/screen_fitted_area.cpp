#include "views/qt/screen_fitted_area.h"

#include <QEvent>
#include <QScreen>
#include <QStyle>

namespace ulvren::views::qt {

ScreenFittedArea::ScreenFittedArea(QWidget& content, QWidget* parent) : QScrollArea(parent) {
    // The controls inside take the focus, not the area; it scrolls to the one that has it.
    setFocusPolicy(Qt::NoFocus);
    setWidget(&content);
    // Invisible where nothing scrolls: no frame, and the dialog's own background, which the
    // dialog paints (setWidget has made the content fill its own).
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
    content.setAutoFillBackground(false);
    content.installEventFilter(this);
}

QSize ScreenFittedArea::sizeHint() const {
    const QSize wanted = widget()->sizeHint();
    const QWidget& window = *this->window();
    // Beside the window manager's frame, once the window has one.
    const QSize room = window.screen()->availableGeometry().size() -
                       (window.frameGeometry().size() - window.size());
    if (wanted.width() <= room.width() && wanted.height() <= room.height()) {
        return wanted;
    }
    // A scroll bar along each side that does not fit takes room across the other.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    QSize size = wanted;
    if (wanted.width() > room.width()) {
        size.rheight() += bar;
    }
    if (wanted.height() > room.height()) {
        size.rwidth() += bar;
    }
    return size.boundedTo(room);
}

bool ScreenFittedArea::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget() && event->type() == QEvent::Resize) {
        updateGeometry();
    }
    return QScrollArea::eventFilter(watched, event);
}

}  // namespace ulvren::views::qt
