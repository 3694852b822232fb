#include "drawing/StatusFonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStringList>

#include <cmath>

namespace {

constexpr double iconPointSize = 11;
constexpr double pointsPerInch = 72;

int pixelsFor(double points, double logicalDpi) {
    return std::max(1, static_cast<int>(std::lround(points * logicalDpi / pointsPerInch)));
}

QFont sized(const QString& family, int pixels, QFont::Weight weight) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// The desktop's family if its digits line up, else the first installed family that does.
QString tabularFamily(const QFont& desktop) {
    QStringList candidates{desktop.family(), QStringLiteral("DejaVu Sans"),
                           QStringLiteral("Noto Sans"), QStringLiteral("Liberation Sans")};
    for (const QString& family : candidates) {
        QFont font(family);
        font.setPixelSize(12);
        if (QFontInfo(font).family() == family && digitsShareOneWidth(font)) {
            return family;
        }
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

}  // namespace

bool digitsShareOneWidth(const QFont& font) {
    const QFontMetricsF metrics(font);
    const double zero = metrics.horizontalAdvance(QLatin1Char('0'));
    for (char digit = '1'; digit <= '9'; ++digit) {
        if (metrics.horizontalAdvance(QLatin1Char(digit)) != zero) {
            return false;
        }
    }
    return true;
}

QString symbolFontFamily() {
    return QStringLiteral("Material Icons");
}

bool loadSymbolFont() {
    static const bool loaded = [] {
        if (QFontDatabase::families().contains(symbolFontFamily())) {
            return true;
        }
        return QFontDatabase::addApplicationFont(
                   QStringLiteral("/usr/share/fonts/truetype/material-design-icons-iconfont/"
                                  "MaterialIcons-Regular.ttf")) >= 0;
    }();
    return loaded;
}

StatusFonts StatusFonts::forDesktop(double logicalDpi) {
    const QFont desktop = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    // Linux desktops' UI fonts (9 to 11 points) are already the size of small labels
    // elsewhere: the status item takes the desktop's font as its small size.
    const double small = desktop.pointSizeF() > 0 ? desktop.pointSizeF() : 10.0;
    const QString family = tabularFamily(desktop);
    return StatusFonts{
        sized(family, pixelsFor(small - 1, logicalDpi), QFont::Medium),
        sized(family, pixelsFor(small - 1, logicalDpi), QFont::Normal),
        sized(family, pixelsFor(small, logicalDpi), QFont::Normal),
        sized(symbolFontFamily(), pixelsFor(iconPointSize, logicalDpi), QFont::Medium),
    };
}
