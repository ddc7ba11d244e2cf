#include "views/qt/device_change_relay.h"

namespace ulvren::views::qt {

DeviceChangeRelay::DeviceChangeRelay(DeviceChangeSource& source, CToolDlg& logic, QObject* parent)
    : QObject(parent), source_(source), logic_(logic) {
    source_.Listen([this](DeviceChange change) {
        QMetaObject::invokeMethod(
            this, [this, change] { logic_.OnDeviceChange(change); }, Qt::QueuedConnection);
    });
}

DeviceChangeRelay::~DeviceChangeRelay() {
    source_.Listen({});
}

}  // namespace ulvren::views::qt
