#include "views/qt/interface_font.h"

#include <QApplication>
#include <QFontDatabase>
#include <span>

namespace ulvren::views::qt {
namespace {

// Faces with Traditional glyph forms (Taiwan's), best first: Debian's fonts-noto-cjk,
// fonts-arphic-uming and fonts-arphic-ukai, and Source Han Sans where installed by hand.
constexpr const char* kTraditionalFaces[] = {
    "Noto Sans CJK TC", "Source Han Sans TC", "Noto Serif CJK TC",
    "AR PL UMing TW",   "AR PL UKai TW",
};

// Faces with Simplified glyph forms (mainland China's), best first: fonts-noto-cjk,
// fonts-wqy-microhei, fonts-wqy-zenhei, fonts-arphic-uming.
constexpr const char* kSimplifiedFaces[] = {
    "Noto Sans CJK SC",  "Source Han Sans SC", "WenQuanYi Micro Hei",
    "WenQuanYi Zen Hei", "Noto Serif CJK SC",  "AR PL UMing CN",
};

std::span<const char* const> PreferredFaces(UiLanguage language) {
    switch (language) {
        case UiLanguage::ChineseTraditional:
            return kTraditionalFaces;
        case UiLanguage::ChineseSimplified:
            return kSimplifiedFaces;
        case UiLanguage::EnglishUnitedStates:
            break;
    }
    return {};
}

}  // namespace

std::optional<QFont> LanguageFont(const QFont& desktop, UiLanguage language,
                                  const QStringList& installed) {
    for (const char* face : PreferredFaces(language)) {
        const QString family = QString::fromLatin1(face);
        if (installed.contains(family, Qt::CaseInsensitive)) {
            QFont font = desktop;
            // The language's face first, so that Han characters take its glyph forms; the
            // desktop's family for whatever it lacks.
            font.setFamilies({family, desktop.family()});
            return font;
        }
    }
    return std::nullopt;
}

void UseLanguageFont(UiLanguage language) {
    if (const auto font = LanguageFont(QApplication::font(), language, QFontDatabase::families())) {
        QApplication::setFont(*font);
    }
}

}  // namespace ulvren::views::qt
