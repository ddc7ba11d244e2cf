#pragma once

#include <QFont>
#include <QStringList>
#include <optional>

#include "text/ui_language.h"

namespace ulvren::views::qt {

// The windows' font in `language`, from the desktop's font: for Chinese the first face of
// `installed` that draws the language's own glyph forms (Traditional or Simplified), ahead of the
// desktop's family and at its size. Empty where the desktop's font stays as it is: English, or no
// such face installed (the desktop's font then draws Chinese through the system's fallback).
std::optional<QFont> LanguageFont(const QFont& desktop, UiLanguage language,
                                  const QStringList& installed);

// Makes LanguageFont over the installed faces the application's font, where there is one.
void UseLanguageFont(UiLanguage language);

}  // namespace ulvren::views::qt
