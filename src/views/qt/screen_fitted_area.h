#pragma once

#include <QScrollArea>

namespace ulvren::views::qt {

// Holds a dialog's content at the size that the content asks for, within the available area of
// the dialog's screen: where the content is larger (a small screen, a large scale factor), the
// area takes the room there is and scrolls. It follows the content as its texts change it.
class ScreenFittedArea final : public QScrollArea {
  public:
    // `content` keeps a fixed size of its own (its layout's QLayout::SetFixedSize).
    ScreenFittedArea(QWidget& content, QWidget* parent);

    QSize sizeHint() const override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace ulvren::views::qt
