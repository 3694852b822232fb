#include "views/report/ReportStyle.h"

#include "views/kit/ViewPalette.h"

#include <QFontDatabase>

ReportStyle ReportStyle::forMode(bool light) {
    ReportStyle style;
    style.light = light;
    if (light) {
        style.background = QColor::fromRgbF(0.96f, 0.96f, 0.97f);
        style.cardFill = Qt::white;
        style.cardOutline = QColor::fromRgbF(0.85f, 0.85f, 0.88f);
        style.cardOutlineWidth = 1;
        style.secondaryText = QColor::fromRgbF(0.4f, 0.4f, 0.45f);
        style.primaryText = QColor::fromRgbF(0.1f, 0.1f, 0.12f);
        // The light scheme's system green and cyan: a shade darker than on dark backgrounds.
        style.green = QColor(52, 199, 89);
        style.cyan = QColor(50, 173, 230);
    } else {
        style.background = QColor::fromRgbF(0.06f, 0.06f, 0.08f);
        style.cardFill = QColor::fromRgbF(0.1f, 0.1f, 0.13f);
        style.cardOutline = ViewPalette::withOpacity(reportAccent(), 0.15);
        style.cardOutlineWidth = 0;
        style.secondaryText = ViewPalette::withOpacity(Qt::white, 0.5);
        style.primaryText = Qt::white;
        style.green = ViewPalette::green();
        style.cyan = ViewPalette::cyan();
    }
    return style;
}

QColor reportAccent() {
    return QColor::fromRgbF(0.545f, 0.361f, 0.965f);
}

QFont reportFont(int pixelSize, QFont::Weight weight, bool monospaced) {
    QFont font = monospaced ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}
