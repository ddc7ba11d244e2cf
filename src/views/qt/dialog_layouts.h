#pragma once

#include <QDialog>
#include <functional>
#include <span>

namespace ulvren::views::qt {

// What holds a control in its dialog's Qt layout besides a group box (named by its control id).
inline constexpr int kDialogGrid = 0;  // the grid that fills the dialog
inline constexpr int kButtonRow = -1;  // the row of buttons at the dialog's foot, to the right

// Where a template control sits in its dialog's Qt layout: a cell of the grid of its container, or
// for the button row, its place in the row.
struct LayoutCell {
    int control;
    int container;
    int row = 0;
    int column = 0;
    int column_span = 1;
    Qt::Alignment alignment = {};
    // The control whose caption names this one for assistive technology (its label), 0 for none.
    int caption = 0;
};

// The cells of the controls of dialog template `template_id`.
std::span<const LayoutCell> LayoutCells(int template_id);

// Puts the widgets of `cells` into grid layouts on `dialog` and its group boxes and into the
// button row; a grid's columns where no control stands take up the room left over. The dialog
// keeps the size that its layout asks for, which follows its texts, and scrolls where its screen
// is smaller than that.
void LayOut(QDialog& dialog, std::span<const LayoutCell> cells,
            const std::function<QWidget*(int control)>& widget);

}  // namespace ulvren::views::qt
