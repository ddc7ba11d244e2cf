#include "views/qt/demo/device_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace ulvren::views::qt {
namespace {

// Space between the panel and the window beside it, in pixels.
constexpr int kGap = 12;

// The window manager's frame around `window`: none before it is first shown.
QMargins FrameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

// Where a frame of `size` goes beside `window` within `available`.
QPoint PlaceBeside(const QRect& window, const QSize& size, const QRect& available) {
    const QPoint candidates[] = {
        {window.right() + 1 + kGap, window.top()},
        {window.left() - kGap - size.width(), window.top()},
        {window.left(), window.bottom() + 1 + kGap},
        {window.left(), window.top() - kGap - size.height()},
    };
    for (const QPoint& candidate : candidates) {
        if (available.contains(QRect(candidate, size))) {
            return candidate;
        }
    }
    // Over the window then, in the corner of the screen where it hides the least of it; its top
    // left corner on the screen.
    const int left = available.left();
    const int top = available.top();
    const int right = std::max(left, available.right() + 1 - size.width());
    const int bottom = std::max(top, available.bottom() + 1 - size.height());
    const QPoint corners[] = {{right, bottom}, {right, top}, {left, bottom}, {left, top}};
    const auto hidden = [&](const QPoint& corner) {
        const QRect covered = QRect(corner, size).intersected(window);
        return covered.width() * covered.height();
    };
    return *std::ranges::min_element(corners, {}, hidden);
}

}  // namespace

DevicePanel::DevicePanel(SimulatedHost& host, const std::string& recorder_root,
                         const QString& image_path, const std::string& second_recorder_root)
    : QWidget(nullptr, Qt::Window), host_(host) {
    setWindowTitle(QStringLiteral("Simulated devices"));
    auto* layout = new QVBoxLayout(this);
    // A path too long for the screen breaks into lines (ShowBeside).
    image_ = new QLabel(QStringLiteral("Recorder image: %1").arg(image_path), this);
    image_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    image_->setWordWrap(true);
    layout->addWidget(image_);
    for (const DemoDrive& drive : SetUpDemoDrives(host_, recorder_root, second_recorder_root)) {
        AddSwitch(QString::fromStdString(drive.caption), drive.root, drive.plugged);
    }
}

void DevicePanel::ShowBeside(const QWidget& window) {
    const QRect available = window.screen()->availableGeometry();
    // Framed as the window is.
    const QMargins frame = FrameMargins(window);
    const int room = available.width() - frame.left() - frame.right();
    setMaximumWidth(room);
    // The image's path on one line where the screen has room for it.
    const QMargins margins = layout()->contentsMargins();
    const QRect one_line = image_->fontMetrics().boundingRect(QRect(), 0, image_->text());
    image_->setMinimumWidth(std::min(one_line.width(), room - margins.left() - margins.right()));
    adjustSize();
    move(PlaceBeside(window.frameGeometry(), size().grownBy(frame), available));
    show();
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
