#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWindow>
#include <chrono>

namespace ulvren::views::qt {

// A wait on the window's thread that keeps its windows painted and its timers running but takes
// no input: keys, mouse, wheel and touch from the user are dropped, not kept for later. A request
// to close a window (its close box, the window manager) is kept and taken when the wait is over.
// It emits `started` when the wait has begun and `finished` when it is over.
class InputFreePause final : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    void Wait(std::chrono::milliseconds duration);

  signals:
    void started();
    void finished();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QList<QPointer<QWindow>> close_requests_;
};

}  // namespace ulvren::views::qt
