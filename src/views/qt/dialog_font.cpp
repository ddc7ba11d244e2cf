#include "views/qt/dialog_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QString>
#include <QStringList>

#include "views/qt/utf8_text.h"

namespace ulvren::views::qt {
namespace {

// Faces that stand in for the templates' font, best first: its own English name, then CJK faces
// of Debian's font packages (fonts-wqy-microhei, fonts-noto-cjk, fonts-arphic-uming).
constexpr const char* kStandInFaces[] = {
    "NSimSun",           "WenQuanYi Micro Hei", "Noto Sans CJK SC",
    "Noto Serif CJK SC", "AR PL UMing CN",      "Droid Sans Fallback",
};

// The average character width as the templates' units take it: the width of the 52 Latin
// letters over 26, plus one, halved.
int AverageCharacterWidth(const QFontMetrics& metrics) {
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (letters / 26 + 1) / 2;
}

// Rounds as a multiply-then-divide of the platform does: halves away from zero.
int Scale(int units, int base, int divisor) {
    return (units * base + divisor / 2) / divisor;
}

}  // namespace

QFont DialogFont(const DialogTemplate& dialog_template) {
    const QString own = FromUtf8(dialog_template.font);
    const QStringList installed = QFontDatabase::families();
    QString face = own;
    if (!installed.contains(own)) {
        for (const char* stand_in : kStandInFaces) {
            if (installed.contains(QString::fromLatin1(stand_in))) {
                face = QString::fromLatin1(stand_in);
                break;
            }
        }
    }
    QFont font(face);
    font.setPointSize(dialog_template.font_points);
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    base_width_ = AverageCharacterWidth(metrics);
    base_height_ = metrics.height();
}

int DialogUnits::X(int units) const {
    return Scale(units, base_width_, 4);
}

int DialogUnits::Y(int units) const {
    return Scale(units, base_height_, 8);
}

QRect DialogUnits::ToPixels(const DialogRect& rect) const {
    return QRect(X(rect.x), Y(rect.y), X(rect.width), Y(rect.height));
}

}  // namespace ulvren::views::qt
