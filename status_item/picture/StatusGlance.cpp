#include "status_item/picture/StatusGlance.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

const StatusItemEntry* firstEnabled(const StatusLook& look) {
    for (const StatusItemEntry& item : look.items) {
        if (item.enabled) {
            return &item;
        }
    }
    return nullptr;
}

// `font` at the largest size up to `largestPixels` at which `text` fits `width`; text
// widths grow in step with the size.
QFont fitted(QFont font, const QString& text, double width, int largestPixels) {
    font.setPixelSize(largestPixels);
    const double advance = QFontMetricsF(font).horizontalAdvance(text);
    if (advance > width) {
        font.setPixelSize(std::max(6, static_cast<int>(largestPixels * width / advance)));
    }
    return font;
}

// The glance's figure: its digits, and a trailing "%" drawn smaller beside them while it fits.
// The "%" gives way before the digits would shrink below `readablePixels`: in a 22 px cell
// "100%" at full size would leave digits 5 px tall.
struct GlanceFigure {
    QString digits;
    QString unit;
    QFont digitsFont;
    QFont unitFont;

    double width() const {
        return QFontMetricsF(digitsFont).horizontalAdvance(digits) +
               (unit.isEmpty() ? 0.0 : QFontMetricsF(unitFont).horizontalAdvance(unit));
    }
};

QFont unitFontFor(const QFont& digitsFont) {
    QFont font = digitsFont;
    font.setPixelSize(std::max(6, static_cast<int>(std::lround(digitsFont.pixelSize() * 0.6))));
    return font;
}

GlanceFigure fittedFigure(const QFont& font, const QString& text, double side) {
    const int largest = static_cast<int>(side * 0.5);
    const int readable = static_cast<int>(std::lround(side * 0.45));
    const bool percent = text.size() > 1 && text.endsWith(QLatin1Char('%'));
    GlanceFigure figure{percent ? text.chopped(1) : text, percent ? QStringLiteral("%") : QString(),
                        font, font};
    if (percent) {
        figure.digitsFont.setPixelSize(largest);
        figure.unitFont = unitFontFor(figure.digitsFont);
        const double scale = (side - 2) / figure.width();
        if (scale >= 1) {
            return figure;
        }
        figure.digitsFont.setPixelSize(static_cast<int>(largest * scale));
        figure.unitFont = unitFontFor(figure.digitsFont);
        if (figure.digitsFont.pixelSize() >= readable) {
            return figure;
        }
        figure.unit.clear();
    }
    // Digits alone may use the whole width: their side bearings keep them off the edge.
    figure.digitsFont = fitted(font, figure.digits, percent ? side : side - 2, largest);
    return figure;
}

}  // namespace

QImage renderGlance(const StatusItemRenderer& renderer, const StatusRecords& records,
                    const MonitorHistories& histories, const StatusLook& look, double side,
                    double dpr) {
    const int pixels = std::max(1, static_cast<int>(std::ceil(side * dpr)));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double opacity = StatusItemRenderer::usablePillOpacity(look.pillOpacity);
    if (opacity > 0.01) {
        QPainterPath background;
        background.addRoundedRect(QRectF(0, 0, side, side), side / 6, side / 6);
        painter.fillPath(background, QColor::fromRgbF(0, 0, 0, static_cast<float>(opacity)));
    }
    const StatusItemEntry* item = firstEnabled(look);
    const QString text = item ? valueText(item->metric, records, true) : QStringLiteral("V");
    const QColor color = item ? renderer.entryColor(item->metric, records, look) : look.labelColor;
    // The value takes the upper half, the sparkline the lower half.
    QFont font = renderer.fonts().value;
    font.setWeight(QFont::Bold);
    const GlanceFigure figure = fittedFigure(font, text, side);
    const QFontMetricsF metrics(figure.digitsFont);
    painter.setPen(color);
    const double top = item ? 1 : (side - metrics.height()) / 2;
    const QPointF start((side - figure.width()) / 2, top + metrics.ascent());
    painter.setFont(figure.digitsFont);
    painter.drawText(start, figure.digits);
    if (!figure.unit.isEmpty()) {
        painter.setFont(figure.unitFont);
        painter.drawText(start + QPointF(metrics.horizontalAdvance(figure.digits), 0), figure.unit);
    }
    if (item && hasReading(item->metric, records)) {
        painter.save();
        painter.translate(0, side / 2 - 1);
        const double graphBox = side / 2;
        painter.scale(1, graphBox / (StatusItemRenderer::graphHeight + 2));
        StatusItemRenderer::drawSparkline(painter, sparklineValues(item->metric, histories),
                                          look.accent, 1, side - 2,
                                          StatusItemRenderer::graphHeight + 2);
        painter.restore();
    }
    return image;
}

StatusPicture makeStatusPicture(const StatusItemRenderer& renderer, const StatusRecords& records,
                                const MonitorHistories& histories, const StatusLook& look,
                                double thickness, double glanceSide, double dpr) {
    StatusPicture picture;
    picture.wide = renderer.render(records, histories, look, thickness, dpr).image;
    if (glanceSide > 0) {
        picture.glance = renderGlance(renderer, records, histories, look, glanceSide, dpr);
    }
    QStringList texts;
    QStringList guides;
    for (const StatusItemEntry& item : look.items) {
        if (item.enabled) {
            texts.append(entryText(item.metric, records));
            guides.append(entryTextTemplate(item.metric));
        }
    }
    picture.label = texts.join(QStringLiteral("  "));
    picture.labelGuide = guides.join(QStringLiteral("  "));
    picture.toolTipFigures = picture.label;
    picture.toolTip = texts.isEmpty() ? QStringLiteral("Vantrel")
                                      : QStringLiteral("Vantrel\n") + picture.toolTipFigures;
    return picture;
}
