#pragma once

#include <QIcon>

namespace ulvren::views::qt {

// The icon of resource `resource_id` (the application icon, IDI_APPLICATION_ICON) in every size
// the build rendered from its drawing; an empty icon for any other id.
QIcon ApplicationIcon(int resource_id);

}  // namespace ulvren::views::qt
