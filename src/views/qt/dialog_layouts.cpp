#include "views/qt/dialog_layouts.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QStyle>
#include <algorithm>
#include <map>
#include <vector>

#include "ui/control_ids.h"
#include "ui/dialog_templates.h"
#include "views/qt/screen_fitted_area.h"

namespace ulvren::views::qt {
namespace {

// control, container, row, column, column span, alignment, caption
constexpr LayoutCell kMainWindowCells[] = {
    {CONTROL_DEVICE_GROUP, kDialogGrid, 0, 0},
    {CONTROL_DATE_TIME_GROUP, kDialogGrid, 1, 0},
    // The disk type and Format, Login, the capacity and Change password; the buttons at the
    // right, beyond an empty column.
    {CONTROL_DISK_TYPE_LABEL, CONTROL_DEVICE_GROUP, 0, 0},
    {CONTROL_DISK_TYPE_LIST, CONTROL_DEVICE_GROUP, 0, 1, 1, {}, CONTROL_DISK_TYPE_LABEL},
    {CONTROL_FORMAT_BUTTON, CONTROL_DEVICE_GROUP, 0, 3},
    {CONTROL_LOGIN_BUTTON, CONTROL_DEVICE_GROUP, 1, 3},
    {CONTROL_CAPACITY_LABEL, CONTROL_DEVICE_GROUP, 2, 0},
    {CONTROL_CAPACITY_FIELD, CONTROL_DEVICE_GROUP, 2, 1, 1, {}, CONTROL_CAPACITY_LABEL},
    {CONTROL_CHANGE_PASSWORD_BUTTON, CONTROL_DEVICE_GROUP, 2, 3},
    // The system's time and the current time, a custom date and time in its pickers, the time
    // stamp and Set; the choices at the left, what they set at the right.
    {CONTROL_SYSTEM_TIME_RADIO, CONTROL_DATE_TIME_GROUP, 0, 0},
    {CONTROL_CURRENT_TIME, CONTROL_DATE_TIME_GROUP, 0, 2, 2},
    {CONTROL_CUSTOM_TIME_RADIO, CONTROL_DATE_TIME_GROUP, 1, 0},
    {CONTROL_DATE_PICKER, CONTROL_DATE_TIME_GROUP, 1, 2, 1, {}, CONTROL_CUSTOM_TIME_RADIO},
    {CONTROL_TIME_PICKER, CONTROL_DATE_TIME_GROUP, 1, 3, 1, {}, CONTROL_CUSTOM_TIME_RADIO},
    {CONTROL_TIME_STAMP_CHECK, CONTROL_DATE_TIME_GROUP, 2, 0},
    {CONTROL_SET_CLOCK_BUTTON, CONTROL_DATE_TIME_GROUP, 2, 3, 1, Qt::AlignRight},
};

constexpr LayoutCell kEnterPasswordCells[] = {
    {CONTROL_PASSWORD_LABEL, kDialogGrid, 0, 0},
    {CONTROL_PASSWORD_EDIT, kDialogGrid, 0, 1, 1, {}, CONTROL_PASSWORD_LABEL},
    {CONTROL_OK, kButtonRow, 0, 0},
    {CONTROL_CANCEL, kButtonRow, 0, 1},
};

constexpr LayoutCell kChangePasswordCells[] = {
    {CONTROL_OLD_PASSWORD_LABEL, kDialogGrid, 0, 0},
    {CONTROL_OLD_PASSWORD_EDIT, kDialogGrid, 0, 1, 1, {}, CONTROL_OLD_PASSWORD_LABEL},
    {CONTROL_NEW_PASSWORD_LABEL, kDialogGrid, 1, 0},
    {CONTROL_NEW_PASSWORD_EDIT, kDialogGrid, 1, 1, 1, {}, CONTROL_NEW_PASSWORD_LABEL},
    {CONTROL_CONFIRM_PASSWORD_LABEL, kDialogGrid, 2, 0},
    {CONTROL_CONFIRM_PASSWORD_EDIT, kDialogGrid, 2, 1, 1, {}, CONTROL_CONFIRM_PASSWORD_LABEL},
    {CONTROL_OK, kButtonRow, 0, 0},
    {CONTROL_CANCEL, kButtonRow, 0, 1},
};

// Lets the columns of `grid` where no cell of `container` stands take the room left over.
void StretchEmptyColumns(QGridLayout& grid, std::span<const LayoutCell> cells, int container) {
    std::vector<bool> used(static_cast<std::size_t>(grid.columnCount()), false);
    for (const LayoutCell& cell : cells) {
        if (cell.container == container) {
            std::fill_n(used.begin() + cell.column, cell.column_span, true);
        }
    }
    for (int column = 0; column < grid.columnCount(); ++column) {
        grid.setColumnStretch(column, used[static_cast<std::size_t>(column)] ? 0 : 1);
    }
}

}  // namespace

std::span<const LayoutCell> LayoutCells(int template_id) {
    switch (template_id) {
        case IDD_MAIN_WINDOW:
            return kMainWindowCells;
        case IDD_ENTER_PASSWORD:
            return kEnterPasswordCells;
        case IDD_CHANGE_PASSWORD:
            return kChangePasswordCells;
        default:
            return {};
    }
}

void LayOut(QDialog& dialog, std::span<const LayoutCell> cells,
            const std::function<QWidget*(int control)>& widget) {
    // The content at its own size, with the margins of a window's layout, in an area that
    // scrolls where the screen is too small for it.
    auto* content = new QWidget(&dialog);
    auto* content_layout = new QVBoxLayout(content);
    content_layout->setSizeConstraint(QLayout::SetFixedSize);
    const QStyle& style = *dialog.style();
    content_layout->setContentsMargins(
        style.pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, &dialog),
        style.pixelMetric(QStyle::PM_LayoutTopMargin, nullptr, &dialog),
        style.pixelMetric(QStyle::PM_LayoutRightMargin, nullptr, &dialog),
        style.pixelMetric(QStyle::PM_LayoutBottomMargin, nullptr, &dialog));
    auto* dialog_layout = new QVBoxLayout(&dialog);
    dialog_layout->setSizeConstraint(QLayout::SetFixedSize);
    dialog_layout->setContentsMargins(0, 0, 0, 0);
    dialog_layout->addWidget(new ScreenFittedArea(*content, &dialog));
    std::map<int, QGridLayout*> grids{{kDialogGrid, new QGridLayout}};
    content_layout->addLayout(grids[kDialogGrid]);
    for (const LayoutCell& cell : cells) {
        if (auto* group = qobject_cast<QGroupBox*>(widget(cell.control))) {
            grids[cell.control] = new QGridLayout(group);
        }
    }
    std::vector<const LayoutCell*> buttons;
    for (const LayoutCell& cell : cells) {
        if (cell.container == kButtonRow) {
            buttons.push_back(&cell);
        } else if (const auto grid = grids.find(cell.container); grid != grids.end()) {
            grid->second->addWidget(widget(cell.control), cell.row, cell.column, 1,
                                    cell.column_span, cell.alignment);
        }
    }
    for (const auto& [container, grid] : grids) {
        StretchEmptyColumns(*grid, cells, container);
    }
    if (!buttons.empty()) {
        std::ranges::sort(buttons, {}, &LayoutCell::column);
        auto* row = new QHBoxLayout;
        row->addStretch();
        for (const LayoutCell* cell : buttons) {
            row->addWidget(widget(cell->control));
        }
        content_layout->addLayout(row);
    }
}

}  // namespace ulvren::views::qt
