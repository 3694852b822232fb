#include "views/graphs/GlowGraphView.h"
#include "views/graphs/MiniGraphView.h"
#include "views/kit/LevelBar.h"
#include "views/kit/ViewPalette.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QColor accent(139, 92, 246);

// `widget` drawn on the dashboard's background at `scale` device pixels per pixel.
QImage drawn(QWidget& widget, double scale = 1) {
    QImage image(widget.size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(ViewPalette::dashboardBackground());
    widget.render(&image, {}, {}, QWidget::DrawChildren);
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool near(QColor pixel, QColor expected, int tolerance = 30) {
    return std::abs(pixel.red() - expected.red()) < tolerance &&
           std::abs(pixel.green() - expected.green()) < tolerance &&
           std::abs(pixel.blue() - expected.blue()) < tolerance;
}

}  // namespace

TEST(GraphViewsTest, GlowGraphLineTouchesTheTopAtTheMaximumAndNowhereElse) {
    GlowGraphView view;
    view.resize(200, 60);
    view.setColor(accent);
    view.setValues({1, 2, 4});
    for (double scale : {1.0, 2.0}) {
        const QImage image = drawn(view, scale);
        const int right = image.width() - 1;
        EXPECT_TRUE(near(image.pixelColor(right - 1, 0), accent))
            << image.pixelColor(right - 1, 0).name().toStdString() << " at scale " << scale;
        EXPECT_TRUE(near(image.pixelColor(1, 0), ViewPalette::dashboardBackground(), 8));
        // The first value lies at 75 % × 94 % of the height.
        const int firstY = static_cast<int>(std::lround(60 * 0.75 * 0.94 * scale));
        EXPECT_TRUE(near(image.pixelColor(0, firstY), accent, 60));
    }
}

TEST(GraphViewsTest, GlowGraphWithOneValueShowsOnlyAFaintMidLine) {
    GlowGraphView view;
    view.resize(100, 40);
    view.setColor(accent);
    view.setValues({5});
    const QImage image = drawn(view);
    const QColor background = ViewPalette::dashboardBackground();
    const QColor mid = image.pixelColor(50, 20);
    EXPECT_FALSE(near(mid, background, 4));
    EXPECT_FALSE(near(mid, accent, 60));
    EXPECT_TRUE(near(image.pixelColor(50, 5), background, 2));
    EXPECT_TRUE(near(image.pixelColor(50, 35), background, 2));
}

TEST(GraphViewsTest, GlowIsBlurredOncePerSizeHistoryOrColour) {
    GlowGraphView view;
    view.resize(120, 46);
    view.setColor(accent);
    view.setValues({1, 3, 2});
    drawn(view);
    drawn(view);
    EXPECT_EQ(view.glowRenderCount(), 1);
    view.setValues({1, 3, 2});  // the same history
    drawn(view);
    EXPECT_EQ(view.glowRenderCount(), 1);
    view.setValues({1, 3, 2, 5});
    drawn(view);
    view.resize(140, 46);
    drawn(view);
    view.setColor(Qt::green);
    drawn(view);
    EXPECT_EQ(view.glowRenderCount(), 4);
}

TEST(GraphViewsTest, MiniGraphWithoutFillLeavesTheAreaUnderTheLineEmpty) {
    MiniGraphView view;
    view.resize(100, 40);
    view.setColor(accent);
    view.setShowFill(false);
    view.setLineWidth(2);  // covers whole pixel rows 19 and 20
    view.setValues({0.5, 0.5});
    const QImage flat = drawn(view);
    EXPECT_TRUE(near(flat.pixelColor(50, 20), accent, 40));
    EXPECT_TRUE(near(flat.pixelColor(50, 32), ViewPalette::dashboardBackground(), 2));
    view.setShowFill(true);
    EXPECT_FALSE(near(drawn(view).pixelColor(50, 32), ViewPalette::dashboardBackground(), 4));
}

TEST(GraphViewsTest, CoreBarAtZeroShowsOnlyTheTrack) {
    LevelBar bar;
    bar.resize(100, 6);
    bar.setCornerRadius(2);
    bar.setFillColor(Qt::green);
    bar.setValue(0);
    const QColor track = drawn(bar).pixelColor(5, 3);
    EXPECT_FALSE(near(track, ViewPalette::dashboardBackground(), 4));
    EXPECT_FALSE(near(track, Qt::green, 100));
    bar.setValue(0.5);
    const QImage half = drawn(bar);
    EXPECT_TRUE(near(half.pixelColor(25, 3), Qt::green));
    EXPECT_EQ(half.pixelColor(75, 3), track);
}
