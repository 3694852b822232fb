#include "StatusRecordsFixture.h"
#include "drawing/SymbolGlyphs.h"
#include "status_item/picture/StatusGlance.h"

#include <QDir>
#include <QFontInfo>
#include <QFontMetricsF>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double thickness = 24;
const QColor green = QColor::fromRgbF(0.3f, 0.78f, 0.45f);
const QColor amber = QColor::fromRgbF(0.95f, 0.75f, 0.25f);
const QColor red = QColor::fromRgbF(0.95f, 0.3f, 0.3f);

class StatusItemRendererTest : public ::testing::Test {
protected:
    StatusItemRenderer renderer{StatusFonts::forDesktop(96)};
    MonitorHistories histories;
    OwnedRecords records;

    RenderedStatus render(const StatusLook& look, double dpr = 1) {
        return renderer.render(records.view(), histories, look, thickness, dpr);
    }

    // The width of a bar holding this one entry, at whatever values the records hold.
    int widthOf(StatusMetric metric, MetricDisplayMode mode) {
        return render(lookOf({{metric, true, mode}})).width;
    }
};

// Every metric at its smallest and largest readings, and with no reading at all.
const std::function<void(OwnedRecords&)> sweep[] = {
    [](OwnedRecords&) {},
    [](OwnedRecords& r) {
        r.cpu.overall = r.gpu.utilization = 1.0;
        r.ram = {.totalBytes = 16, .usedBytes = 16};
        r.disk.totalBytes = r.disk.usedBytes = 1 << 30;
        r.battery.percentage = 100;
        r.network.uploadSpeed = r.network.downloadSpeed = 999.9 * 1024 * 1024;
        r.sensors.cpuTempCelsius = r.sensors.gpuTempCelsius = 119;
        r.sensors.fans = {{0, 5999}};
    },
    [](OwnedRecords& r) {
        r.cpu.overall = 0.071;
        r.network.downloadSpeed = 1023;
        r.battery.percentage = 7;
        r.sensors.cpuTempCelsius = 8;
        r.sensors.fans = {{0, 0}};
    },
};

TEST_F(StatusItemRendererTest, EveryEntryKeepsOneWidthWhateverTheValues) {
    for (StatusMetric metric : allStatusMetrics) {
        for (MetricDisplayMode mode : allMetricDisplayModes) {
            const int width = widthOf(metric, mode);
            for (const auto& setValues : sweep) {
                setValues(records);
                const RenderedStatus drawn = render(lookOf({{metric, true, mode}}));
                ASSERT_EQ(drawn.width, width)
                    << rawValue(metric).toStdString() << " " << rawValue(mode).toStdString();
                ASSERT_EQ(drawn.image.size(), QSize(width, int(thickness)));
            }
        }
    }
}

TEST_F(StatusItemRendererTest, EntriesAreSpacedAndDisabledOnesTakeNoRoom) {
    using enum StatusMetric;
    using enum MetricDisplayMode;
    const RenderedStatus drawn = render(lookOf({{cpu, true, textOnly},
                                                {ram, false, textOnly},
                                                {disk, true, graphOnly},
                                                {network, true, iconAndText}}));
    // Each single-entry bar holds 8 points of margin; entries are 6 points apart.
    const int entries =
        widthOf(cpu, textOnly) + widthOf(disk, graphOnly) + widthOf(network, iconAndText) - 3 * 8;
    EXPECT_EQ(drawn.width, 8 + entries + 2 * 6);
}

TEST_F(StatusItemRendererTest, OutOfRangeSettingsAreClampedWhereDrawn) {
    StatusLook look = lookOf({{StatusMetric::cpu, true, MetricDisplayMode::graphOnly}}, -3);
    look.sparklineWidth = 5000;
    const RenderedStatus wide = render(look);
    EXPECT_LE(wide.width, 8 + 200);
    EXPECT_FALSE(anyOpaquePixel(wide.image, QRect(0, 0, 3, 24)));  // no pill at −3
    look.pillOpacity = 7;
    EXPECT_EQ(render(look).image.pixelColor(2, 12).alpha(), 255);
}

TEST_F(StatusItemRendererTest, PillIsDrawnOnlyAboveOnePercentOpacity) {
    struct {
        double opacity;
        int alpha;
    } cases[] = {{0.85, 217}, {0.01, 0}, {0.0, 0}, {0.5, 128}};
    for (const auto& c : cases) {
        const QImage image =
            render(lookOf({{StatusMetric::cpu, true, MetricDisplayMode::textOnly}}, c.opacity))
                .image;
        EXPECT_NEAR(image.pixelColor(2, 12).alpha(), c.alpha, 1) << c.opacity;
        // Inset two points vertically: the top and bottom rows stay clear.
        EXPECT_EQ(image.pixelColor(10, 1).alpha(), 0) << c.opacity;
        EXPECT_EQ(image.pixelColor(10, 22).alpha(), 0) << c.opacity;
    }
}

TEST_F(StatusItemRendererTest, TextTakesItsLevelColourOrTheLabelColour) {
    struct {
        double cpu;
        bool colorCoded;
        QColor expected;
        QColor absent;
    } cases[] = {{0.2, true, green, amber},
                 {0.5, true, amber, green},
                 {0.95, true, red, amber},
                 {0.95, false, QColor(242, 242, 242), red}};
    for (const auto& c : cases) {
        records.cpu.overall = c.cpu;
        StatusLook look = lookOf({{StatusMetric::cpu, true, MetricDisplayMode::textOnly}});
        look.colorCoded = c.colorCoded;
        const QImage image = render(look).image;
        EXPECT_TRUE(hasPixelNear(image, c.expected)) << c.cpu;
        EXPECT_FALSE(hasPixelNear(image, c.absent)) << c.cpu;
    }
}

TEST_F(StatusItemRendererTest, SparklineRisesToNinetyPercentOfTheGraphInTheAccentColour) {
    for (double value : {0.0, 0.0, 0.0, 1.0}) {
        histories.cpu.append(value);
    }
    const StatusLook look = lookOf({{StatusMetric::cpu, true, MetricDisplayMode::graphOnly}});
    const QImage image = render(look, 2).image;  // device pixels: twice the points
    // Base line 18 points down; the peak, at the right end, 10.8 points above it.
    EXPECT_TRUE(hasPixelNear(image, look.accent, QRect(2 * 4, 2 * 17, 2 * 10, 2 * 2)));
    EXPECT_TRUE(hasPixelNear(image, look.accent, QRect(2 * 32, 2 * 7, 2 * 2, 2 * 1), 60));
    EXPECT_FALSE(anyOpaquePixel(image, QRect(0, 0, image.width(), 2 * 6)));
    EXPECT_FALSE(anyOpaquePixel(image, QRect(2 * 4, 2 * 8, 2 * 10, 2 * 8)));  // flat start
}

TEST_F(StatusItemRendererTest, NoSparklineWithoutTwoValuesOrForTheFanButTheRoomStays) {
    histories.cpu.append(0.7);
    histories.fan0.append(1000);
    histories.fan0.append(2000);
    records.sensors.fans = {{0, 2000}};  // a reading: without one the entry shows a dash
    for (StatusMetric metric : {StatusMetric::cpu, StatusMetric::fanSpeed}) {
        const RenderedStatus drawn = render(lookOf({{metric, true, MetricDisplayMode::graphOnly}}));
        EXPECT_EQ(drawn.width, 8 + 30);
        EXPECT_FALSE(anyOpaquePixel(drawn.image, drawn.image.rect()));
    }
}

TEST_F(StatusItemRendererTest, NoEnabledEntryDrawsTheNameEightPointsWider) {
    const RenderedStatus drawn =
        render(lookOf({{StatusMetric::cpu, false, MetricDisplayMode::textOnly}}));
    const QFontMetricsF placeholder(renderer.fonts().placeholder);
    EXPECT_EQ(drawn.width, std::ceil(placeholder.horizontalAdvance(QStringLiteral("Vantrel"))) + 8);
    EXPECT_TRUE(anyOpaquePixel(drawn.image, QRect(4, 0, drawn.width - 8, 24)));
}

TEST_F(StatusItemRendererTest, ImageIsSharpAtTheScreensPixelRatio) {
    const RenderedStatus drawn =
        render(lookOf({{StatusMetric::cpu, true, MetricDisplayMode::textOnly}}), 2);
    EXPECT_EQ(drawn.image.size(), QSize(2 * drawn.width, 2 * 24));
    EXPECT_EQ(drawn.image.devicePixelRatio(), 2);
}

TEST_F(StatusItemRendererTest, FontsHaveDigitsOfOneWidthAndAreInstalled) {
    for (const QFont& font : {renderer.fonts().value, renderer.fonts().label}) {
        EXPECT_EQ(QFontInfo(font).family(), font.family());
        EXPECT_TRUE(digitsShareOneWidth(font)) << font.family().toStdString();
    }
}

TEST_F(StatusItemRendererTest, EverySymbolIsOneGlyphOfTheIconFontAndIsTinted) {
    for (StatusMetric metric : allStatusMetrics) {
        EXPECT_TRUE(symbolGlyph(symbolName(metric), renderer.fonts().symbol))
            << symbolName(metric).toStdString() << " (fonts-material-design-icons-iconfont)";
    }
    EXPECT_FALSE(symbolGlyph(QStringLiteral("no.such.symbol"), renderer.fonts().symbol));
    records.battery.hasBattery = true;
    records.battery.percentage = 10;
    const QImage image =
        render(lookOf({{StatusMetric::battery, true, MetricDisplayMode::iconAndText}})).image;
    EXPECT_TRUE(hasPixelNear(image, red, QRect(4, 0, 18, 24)));
}

// A desktop's battery entry is a dash in the label colour in every mode: never a red "0%",
// never a level line of zeros. A laptop's nearly empty battery is red wherever text is drawn.
TEST_F(StatusItemRendererTest, ABatteryEntryWithoutABatteryIsADashInTheLabelColour) {
    histories.battery.append(0);
    histories.battery.append(0);
    BatteryStats nearlyEmpty;
    nearlyEmpty.hasBattery = true;
    nearlyEmpty.percentage = 7;
    const std::pair<const char*, BatteryStats> machines[] = {{"desktop", BatteryStats{}},
                                                             {"laptop", nearlyEmpty}};
    for (const auto& [machine, battery] : machines) {
        records.battery = battery;
        for (MetricDisplayMode mode : allMetricDisplayModes) {
            const StatusLook look = lookOf({{StatusMetric::battery, true, mode}});
            const QImage image = render(look, 2).image;
            const bool text = mode != MetricDisplayMode::graphOnly;
            const std::string where = std::string(machine) + " " + rawValue(mode).toStdString();
            EXPECT_EQ(hasPixelNear(image, red), battery.hasBattery && text) << where;
            EXPECT_EQ(hasPixelNear(image, look.labelColor), !battery.hasBattery) << where;
            EXPECT_EQ(hasPixelNear(image, look.accent, {}, 60),
                      battery.hasBattery && mode != MetricDisplayMode::textOnly &&
                          mode != MetricDisplayMode::iconAndText)
                << where;
        }
        const QImage glance = renderGlance(
            renderer, records.view(), histories,
            lookOf({{StatusMetric::battery, true, MetricDisplayMode::textOnly}}), 22, 2);
        EXPECT_EQ(hasPixelNear(glance, red), battery.hasBattery) << machine;
    }

    // Kept for a look: a desktop's status item with the battery entry in each mode.
    records = OwnedRecords{};
    records.cpu.overall = 0.12;
    using enum MetricDisplayMode;
    const StatusLook look = lookOf({{StatusMetric::cpu, true, textOnly},
                                    {StatusMetric::battery, true, textOnly},
                                    {StatusMetric::gpu, true, iconAndText},
                                    {StatusMetric::cpuTemp, true, graphAndText},
                                    {StatusMetric::fanSpeed, true, graphOnly}},
                                   0.85);
    const StatusPicture picture =
        makeStatusPicture(renderer, records.view(), histories, look, thickness, 22, 2);
    EXPECT_EQ(picture.label, QStringLiteral("CPU 12%  BAT —  GPU —  TMP —  FAN —"));
    QDir().mkpath(QStringLiteral(VANTREL_APP_ARTEFACTS));
    EXPECT_TRUE(
        picture.wide.save(QStringLiteral(VANTREL_APP_ARTEFACTS "/status-item-desktop.png")));
}

TEST_F(StatusItemRendererTest, GlanceShowsTheFirstEnabledMetricOverItsSparkline) {
    records.ram = {.totalBytes = 100, .usedBytes = 90};
    histories.ram.append(10);
    histories.ram.append(90);
    const StatusLook look = lookOf({{StatusMetric::cpu, false, MetricDisplayMode::textOnly},
                                    {StatusMetric::ram, true, MetricDisplayMode::textOnly}});
    const QImage glance = renderGlance(renderer, records.view(), histories, look, 22, 2);
    ASSERT_EQ(glance.size(), QSize(44, 44));
    EXPECT_TRUE(hasPixelNear(glance, red, QRect(0, 0, 44, 22)));
    EXPECT_TRUE(hasPixelNear(glance, look.accent, QRect(0, 22, 44, 22), 60));
    EXPECT_FALSE(hasPixelNear(glance, look.accent, QRect(0, 0, 44, 18), 60));
}

// A tray draws the glance at 22 px: its figure must stay readable (digits at least 7 px tall)
// from "0%" to "100%", so the unit gives way before the digits shrink.
TEST_F(StatusItemRendererTest, GlanceFiguresStayReadableAtEveryValue) {
    const struct {
        double load;
        QColor color;
    } cases[] = {{0.0, green}, {0.08, green}, {0.55, amber}, {0.98, red}, {1.0, red}};
    const StatusLook look = lookOf({{StatusMetric::cpu, true, MetricDisplayMode::textOnly}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.load);
        records.cpu.overall = c.load;
        const QImage glance = renderGlance(renderer, records.view(), histories, look, 22, 1);
        int first = -1;
        int last = -1;
        for (int row = 0; row < 12; ++row) {
            if (hasPixelNear(glance, c.color, QRect(0, row, 22, 1), 60)) {
                first = first < 0 ? row : first;
                last = row;
            }
        }
        EXPECT_GE(last - first + 1, 7) << "rows " << first << " to " << last;
        QDir().mkpath(QStringLiteral(VANTREL_APP_ARTEFACTS));
        glance.save(QStringLiteral(VANTREL_APP_ARTEFACTS "/glance-cpu-%1.png").arg(c.load * 100));
    }
}

TEST_F(StatusItemRendererTest, PictureLabelListsTheEnabledMetricsWithAConstantGuide) {
    records.cpu.overall = 0.12;
    const StatusLook look = lookOf({{StatusMetric::cpu, true, MetricDisplayMode::graphOnly},
                                    {StatusMetric::cpuTemp, true, MetricDisplayMode::textOnly}});
    const StatusPicture picture =
        makeStatusPicture(renderer, records.view(), histories, look, 24, 22, 1);
    EXPECT_EQ(picture.label, QStringLiteral("CPU 12%  TMP —"));
    EXPECT_EQ(picture.labelGuide, QStringLiteral("CPU 100%  TMP 100%"));
    EXPECT_TRUE(picture.toolTip.endsWith(picture.label));
}

}  // namespace
