#include "views/kit/GraphGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const QRectF box(0, 0, 100, 50);

QVector<QPointF> pointsOf(const QPainterPath& path) {
    QVector<QPointF> points;
    for (int i = 0; i < path.elementCount(); ++i) {
        points.push_back(path.elementAt(i));
    }
    return points;
}

}  // namespace

TEST(GraphGeometryTest, NormalizeScalesToTheOwnMaximum) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        QVector<double> values;
        QVector<double> expected;
    } cases[] = {
        {{}, {}},           {{5}, {}}, {{0, 0, 0}, {0, 0, 0}}, {{1, 2, 4}, {0.25, 0.5, 1}},
        {{-3, 0}, {0, 0}},   // no positive maximum: all on the base line
        {{nan, 2}, {0, 1}},  // a value that is no number counts as 0
    };
    for (const auto& c : cases) {
        EXPECT_EQ(normalize(c.values), c.expected) << c.values.size() << " values";
    }
}

TEST(GraphGeometryTest, LineShapeReachesTheTopAndKeepsZeroAt94PercentOfTheHeight) {
    EXPECT_EQ(pointsOf(LineShape{normalize({1, 2, 4})}.path(box)),
              (QVector<QPointF>{{0, 50 * 0.75 * 0.94}, {50, 50 * 0.5 * 0.94}, {100, 0}}));
    EXPECT_EQ(pointsOf(LineShape{normalize({0, 0, 0})}.path(box)),
              (QVector<QPointF>{{0, 47}, {50, 47}, {100, 47}}));
    // An offset rectangle moves the points with it.
    EXPECT_EQ(pointsOf(LineShape{{0, 1}}.path(QRectF(10, 20, 100, 50))),
              (QVector<QPointF>{{10, 67}, {110, 20}}));
}

TEST(GraphGeometryTest, FillShapeClosesTheLineAlongTheBottomEdge) {
    const QPainterPath fill = FillShape{normalize({0, 0, 0})}.path(box);
    EXPECT_EQ(pointsOf(fill).front(), QPointF(0, 50));
    EXPECT_EQ(fill.boundingRect(), QRectF(0, 47, 100, 3));
    EXPECT_EQ(FillShape{normalize({1, 2, 4})}.path(box).boundingRect(), box);
}

TEST(GraphGeometryTest, FewerThanTwoValuesGiveNoPath) {
    for (const QVector<double>& values : {QVector<double>{}, QVector<double>{5}}) {
        EXPECT_TRUE(LineShape{normalize(values)}.path(box).isEmpty());
        EXPECT_TRUE(FillShape{normalize(values)}.path(box).isEmpty());
        EXPECT_TRUE(miniGraphLinePath(values, box).isEmpty());
        EXPECT_TRUE(miniGraphFillPath(values, box).isEmpty());
    }
    EXPECT_EQ(midLine(box), QLineF(0, 25, 100, 25));
}

TEST(GraphGeometryTest, MiniGraphUsesFractionsUnchangedFromBottomToTop) {
    EXPECT_EQ(pointsOf(miniGraphLinePath({0.5, 0.5}, box)), (QVector<QPointF>{{0, 25}, {100, 25}}));
    EXPECT_EQ(pointsOf(miniGraphLinePath({0, 1, 0.25}, box)),
              (QVector<QPointF>{{0, 50}, {50, 0}, {100, 37.5}}));
    EXPECT_EQ(miniGraphFillPath({0.5, 0.5}, box).boundingRect(), QRectF(0, 25, 100, 25));
}

TEST(GraphGeometryTest, BarFillIsClampedToTheTrack) {
    const struct {
        double fraction;
        double width;
    } cases[] = {{0, 0},    {0.42, 42}, {1, 100},
                 {-0.5, 0}, {1.5, 100}, {std::numeric_limits<double>::infinity(), 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(barFillRect(c.fraction, box), QRectF(0, 0, c.width, 50)) << c.fraction;
    }
}
