#pragma once

#include <QObject>

#include "host/device_change.h"
#include "ui/main_window.h"

namespace ulvren::views::qt {

// Hands each change that a source announces, on whatever thread, to the window's logic on the
// relay's thread, after what is already queued there; for as long as the relay lives.
class DeviceChangeRelay final : public QObject {
    Q_OBJECT

  public:
    DeviceChangeRelay(DeviceChangeSource& source, CToolDlg& logic, QObject* parent = nullptr);
    // Stops the source's notices; those still queued are dropped with the relay.
    ~DeviceChangeRelay() override;
    DeviceChangeRelay(const DeviceChangeRelay&) = delete;
    DeviceChangeRelay& operator=(const DeviceChangeRelay&) = delete;

  private:
    DeviceChangeSource& source_;
    CToolDlg& logic_;
};

}  // namespace ulvren::views::qt
