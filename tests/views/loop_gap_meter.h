#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

namespace ulvren::testing {

// The longest time between two turns of this thread's event loop, nested loops included, as a
// timer that asks to fire every millisecond sees it.
class LoopGapMeter final : public QObject {
  public:
    LoopGapMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, [this] {
            const qint64 now = clock_.nsecsElapsed();
            longest_ns_ = std::max(longest_ns_, now - last_ns_);
            last_ns_ = now;
        });
    }

    void Start() {
        longest_ns_ = 0;
        clock_.start();
        last_ns_ = 0;
        timer_.start(1);
    }

    // Milliseconds.
    double Stop() {
        timer_.stop();
        return static_cast<double>(longest_ns_) / 1e6;
    }

  private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ns_ = 0;
    qint64 longest_ns_ = 0;
};

}  // namespace ulvren::testing
