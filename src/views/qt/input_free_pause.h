#pragma once

#include <QObject>
#include <chrono>

namespace ulvren::views::qt {

// A wait on the window's thread that keeps its windows painted and its timers running but takes
// no input: keys, mouse, wheel, touch and close requests from the user are dropped, not kept for
// later. It emits `started` when the wait has begun and `finished` when it is over.
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
};

}  // namespace ulvren::views::qt
