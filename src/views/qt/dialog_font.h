#pragma once

#include <QFont>
#include <QRect>

#include "ui/dialog_templates.h"

namespace ulvren::views::qt {

// The template's dialog font on this system, at the template's size: its own face where it is
// installed, else the first installed face that holds both Simplified and Traditional Chinese.
QFont DialogFont(const DialogTemplate& dialog_template);

// The dialog units of a font, as templates measure: a quarter of its average character width
// across, an eighth of its height down.
class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);

    int X(int units) const;
    int Y(int units) const;
    QRect ToPixels(const DialogRect& rect) const;

  private:
    int base_width_;
    int base_height_;
};

}  // namespace ulvren::views::qt
