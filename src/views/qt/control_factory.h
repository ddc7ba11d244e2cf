#pragma once

#include <QWidget>

#include "ui/dialog_templates.h"

namespace ulvren::views::qt {

// The Qt widget of a template control of its kind, with its template caption and styles, as a
// child of `parent`. Placement is the caller's.
QWidget* CreateControl(QWidget& parent, const ControlTemplate& control);

}  // namespace ulvren::views::qt
