#pragma once

#include "core/SystemMonitor.h"
#include "drawing/StatusFonts.h"
#include "status_item/picture/MetricText.h"
#include "status_list/StatusItemEntry.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QVector>

#include <array>
#include <optional>

class AppSettings;
class QPainter;

// The settings one drawing of the status item reads.
struct StatusLook {
    QVector<StatusItemEntry> items;
    int sparklineWidth = 30;
    double pillOpacity = 0.85;
    bool colorCoded = true;
    QColor accent;
    QColor labelColor;  // text and icons when not colour-coded

    // `accent` is the colour of the settings' graphColor, which the views' palette knows.
    static StatusLook from(const AppSettings& settings, const QColor& labelColor,
                           const QColor& accent);
};

struct RenderedStatus {
    QImage image;  // logical size (width, thickness) at the device-pixel ratio asked for
    int width = 0;
};

// Draws the enabled status-item entries into one image whose width depends only on the
// entries' metrics and modes and the sparkline width, never on the values.
class StatusItemRenderer {
public:
    static constexpr double spacing = 6;
    static constexpr double graphHeight = 12;
    static constexpr double iconSize = 11;
    static constexpr double iconWidth = 18;
    static constexpr double padding = 4;
    static constexpr double iconTextGap = 3;

    explicit StatusItemRenderer(StatusFonts fonts);

    RenderedStatus render(const StatusRecords& records, const MonitorHistories& histories,
                          const StatusLook& look, double thickness, double devicePixelRatio) const;

    double itemWidth(StatusMetric metric, MetricDisplayMode mode, int sparklineWidth) const;
    // Width of `text` in the value (medium) or label (regular) font, rounded up.
    double measureText(const QString& text, bool medium) const;
    QColor entryColor(StatusMetric metric, const StatusRecords& records,
                      const StatusLook& look) const;
    const StatusFonts& fonts() const { return fonts_; }

    // Sparkline of `values` (oldest first) in a box of `width` × graphHeight, centred in `h`.
    static void drawSparkline(QPainter& painter, const QVector<double>& values, const QColor& color,
                              double x, double width, double h);
    // Sparkline width and pill opacity as they can be drawn.
    static int usableSparklineWidth(int points);
    static double usablePillOpacity(double opacity);

private:
    RenderedStatus placeholder(const StatusLook& look, double thickness, double dpr) const;
    void drawEntry(QPainter& painter, const StatusItemEntry& item, const StatusRecords& records,
                   const MonitorHistories& histories, const StatusLook& look, double x,
                   double h) const;

    StatusFonts fonts_;
    QFontMetricsF valueMetrics_;
    QFontMetricsF labelMetrics_;
    // The templates' widths never change with the fonts fixed: measured once each.
    mutable QHash<QString, double> measuredValue_;
    mutable QHash<QString, double> measuredLabel_;
    std::array<std::optional<QGlyphRun>, allStatusMetrics.size()> symbols_;
};

// The history a metric's sparkline shows, oldest first; empty for the fan.
QVector<double> sparklineValues(StatusMetric metric, const MonitorHistories& histories);
