#include "views/qt/demo/device_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

namespace ulvren::views::qt {

DevicePanel::DevicePanel(SimulatedHost& host, std::string recorder_root, const QString& image_path)
    : QWidget(nullptr, Qt::Window), host_(host) {
    setWindowTitle(QStringLiteral("Simulated devices"));
    auto* layout = new QVBoxLayout(this);
    auto* where = new QLabel(QStringLiteral("Recorder image: %1").arg(image_path), this);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(where);
    host_.AddDrive(kUsbDiskRoot, DriveKind::PlainRemovable);
    host_.Unplug(kUsbDiskRoot);
    AddSwitch(QStringLiteral("Recorder plugged in"), recorder_root, true);
    AddSwitch(QStringLiteral("USB disk (no recorder) plugged in"), kUsbDiskRoot, false);
}

void DevicePanel::AddSwitch(const QString& caption, const std::string& root, bool plugged) {
    auto* box = new QCheckBox(caption, this);
    box->setChecked(plugged);
    layout()->addWidget(box);
    connect(box, &QCheckBox::toggled, this, [this, root](bool plug) {
        if (plug) {
            host_.Plug(root);
        } else {
            host_.Unplug(root);
        }
    });
}

}  // namespace ulvren::views::qt
