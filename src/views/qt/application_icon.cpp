#include "views/qt/application_icon.h"

#include <QDir>

#include "ui/dialog_templates.h"

namespace ulvren::views::qt {

QIcon ApplicationIcon(int resource_id) {
    QIcon icon;
    if (resource_id != IDI_APPLICATION_ICON) {
        return icon;
    }
    // The build puts the rendered sizes under :/icons (see CMakeLists.txt).
    for (const QString& file : QDir(QStringLiteral(":/icons")).entryList({"*.png"})) {
        icon.addFile(QStringLiteral(":/icons/") + file);
    }
    return icon;
}

}  // namespace ulvren::views::qt
