#pragma once

#include <QWidget>
#include <string_view>

namespace ulvren::views::qt {

// A modal box over `owner` with the text, the warning icon and one OK button, captioned with the
// executable's name without its extension; returns when the user has closed it. The owner's
// thread goes on handling what is posted to it meanwhile.
void ShowWarningBox(QWidget& owner, std::string_view text);

}  // namespace ulvren::views::qt
