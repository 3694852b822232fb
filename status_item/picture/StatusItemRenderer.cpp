#include "status_item/picture/StatusItemRenderer.h"

#include "core/AppSettings.h"
#include "core/TextFormat.h"
#include "drawing/SymbolGlyphs.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int minimumSparklineWidth = 8;
constexpr int maximumSparklineWidth = 200;

QColor rgb(double r, double g, double b) {
    return QColor::fromRgbF(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
}

QColor levelRgb(LevelColor level) {
    switch (level) {
        case LevelColor::green:
            return rgb(0.3, 0.78, 0.45);
        case LevelColor::amber:
            return rgb(0.95, 0.75, 0.25);
        case LevelColor::red:
            return rgb(0.95, 0.3, 0.3);
    }
    return rgb(0.3, 0.78, 0.45);
}

std::size_t metricIndex(StatusMetric metric) {
    return static_cast<std::size_t>(metric);
}

QImage blankImage(double width, double thickness, double dpr) {
    QImage image(std::max(1, static_cast<int>(std::ceil(width * dpr))),
                 std::max(1, static_cast<int>(std::ceil(thickness * dpr))),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    return image;
}

// Draws a line of text centred in a bar of height h.
void drawText(QPainter& painter, const QFont& font, const QFontMetricsF& metrics,
              const QColor& color, double x, double h, const QString& text) {
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QPointF(x, (h - metrics.height()) / 2 + metrics.ascent()), text);
}

}  // namespace

StatusLook StatusLook::from(const AppSettings& settings, const QColor& labelColor,
                            const QColor& accent) {
    return StatusLook{settings.statusItemEntries(),
                      settings.statusItemSparklineWidth(),
                      settings.statusItemPillOpacity(),
                      settings.statusItemColorCoded(),
                      accent,
                      labelColor};
}

QVector<double> sparklineValues(StatusMetric metric, const MonitorHistories& histories) {
    switch (metric) {
        case StatusMetric::cpu:
            return histories.cpu.values();
        case StatusMetric::ram:
            return histories.ram.values();
        case StatusMetric::network:
            return histories.networkDown.values();
        case StatusMetric::gpu:
            return histories.gpu.values();
        case StatusMetric::battery:
            return histories.battery.values();
        case StatusMetric::disk:
            return histories.disk.values();
        case StatusMetric::cpuTemp:
            return histories.cpuTemp.values();
        case StatusMetric::gpuTemp:
            return histories.gpuTemp.values();
        case StatusMetric::fanSpeed:
            return {};
    }
    return {};
}

StatusItemRenderer::StatusItemRenderer(StatusFonts fonts)
    : fonts_(std::move(fonts)), valueMetrics_(fonts_.value), labelMetrics_(fonts_.label) {
    for (StatusMetric metric : allStatusMetrics) {
        symbols_[metricIndex(metric)] = symbolGlyph(symbolName(metric), fonts_.symbol);
    }
}

int StatusItemRenderer::usableSparklineWidth(int points) {
    return std::clamp(points, minimumSparklineWidth, maximumSparklineWidth);
}

double StatusItemRenderer::usablePillOpacity(double opacity) {
    return std::isfinite(opacity) ? std::clamp(opacity, 0.0, 1.0) : 0.0;
}

double StatusItemRenderer::measureText(const QString& text, bool medium) const {
    QHash<QString, double>& known = medium ? measuredValue_ : measuredLabel_;
    const auto found = known.constFind(text);
    if (found != known.constEnd()) {
        return *found;
    }
    const double width =
        std::ceil((medium ? valueMetrics_ : labelMetrics_).horizontalAdvance(text));
    known.insert(text, width);
    return width;
}

double StatusItemRenderer::itemWidth(StatusMetric metric, MetricDisplayMode mode,
                                     int sparklineWidth) const {
    const double s = usableSparklineWidth(sparklineWidth);
    const bool network = metric == StatusMetric::network;
    const QString compactNetwork =
        QString(QChar(0x2191)) + QStringLiteral("888M ") + QChar(0x2193) + QStringLiteral("888M");
    const double valueRoom =
        network ? measureText(compactNetwork, false) : measureText(QStringLiteral("100%"), true);
    switch (mode) {
        case MetricDisplayMode::textOnly:
            if (network) {
                return measureText(entryTextTemplate(metric), false) + 2;
            }
            return measureText(QStringLiteral("100%"), true) +
                   measureText(shortLabel(metric) + QLatin1Char(' '), false) + 2;
        case MetricDisplayMode::graphOnly:
            return s;
        case MetricDisplayMode::graphAndText:
            return s + 3 + valueRoom + 2;
        case MetricDisplayMode::iconAndText:
            return valueRoom + iconWidth + iconTextGap + 2;
    }
    return 0;
}

QColor StatusItemRenderer::entryColor(StatusMetric metric, const StatusRecords& records,
                                      const StatusLook& look) const {
    // A dash is no level: it keeps the label colour rather than the colour of a zero.
    if (!look.colorCoded || !hasReading(metric, records)) {
        return look.labelColor;
    }
    return levelRgb(levelColor(metric, colorFraction(metric, records)));
}

RenderedStatus StatusItemRenderer::placeholder(const StatusLook& look, double thickness,
                                               double dpr) const {
    const QString text = QStringLiteral("Vantrel");
    const double width =
        std::ceil(QFontMetricsF(fonts_.placeholder).horizontalAdvance(text)) + 2 * padding;
    QImage image = blankImage(width, thickness, dpr);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawText(painter, fonts_.placeholder, QFontMetricsF(fonts_.placeholder), look.labelColor,
             padding, thickness, text);
    return {image, static_cast<int>(width)};
}

RenderedStatus StatusItemRenderer::render(const StatusRecords& records,
                                          const MonitorHistories& histories, const StatusLook& look,
                                          double thickness, double dpr) const {
    QVector<StatusItemEntry> entries;
    for (const StatusItemEntry& item : look.items) {
        if (item.enabled) {
            entries.append(item);
        }
    }
    if (entries.isEmpty()) {
        return placeholder(look, thickness, dpr);
    }
    QVector<double> widths;
    double sum = 0;
    for (const StatusItemEntry& item : entries) {
        widths.append(itemWidth(item.metric, item.displayMode, look.sparklineWidth));
        sum += widths.back();
    }
    const double width = std::ceil(2 * padding + sum + spacing * (entries.size() - 1));

    QImage image = blankImage(width, thickness, dpr);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double opacity = usablePillOpacity(look.pillOpacity);
    if (opacity > 0.01) {
        QPainterPath pill;
        pill.addRoundedRect(QRectF(0, 0, width, thickness).adjusted(1, 2, -1, -2), 4, 4);
        painter.fillPath(pill, QColor::fromRgbF(0, 0, 0, static_cast<float>(opacity)));
    }
    double x = padding;
    for (int i = 0; i < entries.size(); ++i) {
        drawEntry(painter, entries[i], records, histories, look, x, thickness);
        x += widths[i] + spacing;
    }
    return {image, static_cast<int>(width)};
}

void StatusItemRenderer::drawEntry(QPainter& painter, const StatusItemEntry& item,
                                   const StatusRecords& records, const MonitorHistories& histories,
                                   const StatusLook& look, double x, double h) const {
    const QColor color = entryColor(item.metric, records, look);
    const double s = usableSparklineWidth(look.sparklineWidth);
    // Without a reading a sparkline would draw its zeros as a level line.
    const bool reading = hasReading(item.metric, records);
    switch (item.displayMode) {
        case MetricDisplayMode::textOnly:
            drawText(painter, fonts_.label, labelMetrics_, color, x, h,
                     entryText(item.metric, records));
            return;
        case MetricDisplayMode::graphOnly:
            if (reading) {
                drawSparkline(painter, sparklineValues(item.metric, histories), look.accent, x, s,
                              h);
            } else {
                drawText(painter, fonts_.value, valueMetrics_, color, x, h, noValueText());
            }
            return;
        case MetricDisplayMode::graphAndText:
            if (reading) {
                drawSparkline(painter, sparklineValues(item.metric, histories), look.accent, x, s,
                              h);
            }
            drawText(painter, fonts_.value, valueMetrics_, color, x + s + 3, h,
                     valueText(item.metric, records, true));
            return;
        case MetricDisplayMode::iconAndText:
            if (const auto& glyph = symbols_[metricIndex(item.metric)]) {
                const QRectF bounds = glyph->boundingRect();
                painter.setPen(color);
                painter.drawGlyphRun(
                    QPointF(x - bounds.left(), (h - bounds.height()) / 2 - bounds.top()), *glyph);
            }
            drawText(painter, fonts_.value, valueMetrics_, color, x + iconWidth + iconTextGap, h,
                     valueText(item.metric, records, true));
            return;
    }
}

void StatusItemRenderer::drawSparkline(QPainter& painter, const QVector<double>& values,
                                       const QColor& color, double x, double width, double h) {
    if (values.size() < 2) {
        return;
    }
    double maximum = 0;
    for (double value : values) {
        if (std::isfinite(value)) {
            maximum = std::max(maximum, value);
        }
    }
    // The image's y axis runs downward: the base line is graphHeight/2 under the middle.
    const double base = h - (h - graphHeight) / 2;
    const double step = width / (values.size() - 1);
    QPolygonF line;
    line.reserve(values.size());
    for (int i = 0; i < values.size(); ++i) {
        const double value = std::isfinite(values[i]) ? values[i] : 0;
        const double normalised = maximum > 0 ? std::max(value, 0.0) / maximum : 0;
        line.append(QPointF(x + i * step, base - normalised * graphHeight * 0.9));
    }
    QPainterPath fill;
    fill.moveTo(x, base);
    for (const QPointF& point : line) {
        fill.lineTo(point);
    }
    fill.lineTo(x + width, base);
    fill.closeSubpath();
    QColor translucent = color;
    translucent.setAlphaF(0.25f);
    painter.fillPath(fill, translucent);
    painter.setPen(QPen(color, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(line);
}
