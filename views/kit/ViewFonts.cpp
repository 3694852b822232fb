#include "views/kit/ViewFonts.h"

#include "drawing/StatusFonts.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

constexpr double referenceDpi = 96;

QFont styled(const QString& family, double pixelsAt96, QFont::Weight weight, double dpi) {
    QFont font(family);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelsAt96 * dpi / referenceDpi))));
    font.setWeight(weight);
    return font;
}

// The family used for figures: the status item's, whose digits share one width.
const QString& digitFamily() {
    static const QString family = StatusFonts::forDesktop(referenceDpi).label.family();
    return family;
}

}  // namespace

ViewFonts ViewFonts::forDpi(double logicalDpi) {
    const double dpi = logicalDpi > 0 ? logicalDpi : referenceDpi;
    const QString family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    return ViewFonts{
        styled(family, 14, QFont::DemiBold, dpi), styled(family, 12, QFont::Normal, dpi),
        styled(family, 13, QFont::Normal, dpi),   styled(family, 11, QFont::Normal, dpi),
        styled(family, 10, QFont::Normal, dpi),
    };
}

const ViewFonts& ViewFonts::shared() {
    static const ViewFonts fonts = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return forDpi(screen != nullptr ? screen->logicalDotsPerInch() : referenceDpi);
    }();
    return fonts;
}

QFont ViewFonts::monospacedDigits(const QFont& font) {
    QFont digits(font);
    digits.setFamily(digitFamily());
    return digits;
}

QFont ViewFonts::symbol(int pixelSize) {
    loadSymbolFont();
    QFont font(symbolFontFamily());
    font.setPixelSize(std::max(1, pixelSize));
    return font;
}
