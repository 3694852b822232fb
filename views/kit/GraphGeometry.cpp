#include "views/kit/GraphGeometry.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace {

double finiteOrZero(double value) {
    return std::isfinite(value) ? value : 0.0;
}

// Joins `count` points given by `pointAt` in order; the path stays empty below 2 points.
template <typename PointAt>
QPainterPath polyline(qsizetype count, PointAt pointAt) {
    QPainterPath path;
    if (count < 2) {
        return path;
    }
    path.moveTo(pointAt(0));
    for (qsizetype i = 1; i < count; ++i) {
        path.lineTo(pointAt(i));
    }
    return path;
}

// `line` closed along the bottom edge of `rect`: bottom-left, the line's points, bottom-right.
QPainterPath closedDown(const QPainterPath& line, const QRectF& rect) {
    QPainterPath fill;
    if (line.isEmpty()) {
        return fill;
    }
    fill.moveTo(rect.left(), rect.bottom());
    for (int i = 0; i < line.elementCount(); ++i) {
        fill.lineTo(line.elementAt(i));
    }
    fill.lineTo(rect.right(), rect.bottom());
    fill.closeSubpath();
    return fill;
}

double stepFor(qsizetype count, const QRectF& rect) {
    return rect.width() / static_cast<double>(count - 1);
}

}  // namespace

QVector<double> normalize(const QVector<double>& values) {
    if (values.size() < 2) {
        return {};
    }
    QVector<double> result;
    result.reserve(values.size());
    double maximum = 0;
    for (double value : values) {
        maximum = std::max(maximum, finiteOrZero(value));
    }
    for (double value : values) {
        result.push_back(maximum > 0 ? finiteOrZero(value) / maximum : 0.0);
    }
    return result;
}

QPainterPath LineShape::path(const QRectF& rect) const {
    const double step = points.size() < 2 ? 0 : stepFor(points.size(), rect);
    return polyline(points.size(), [&](qsizetype i) {
        const double p = finiteOrZero(points[i]);
        return QPointF(rect.left() + static_cast<double>(i) * step,
                       rect.top() + rect.height() * (1 - p) * glowBaseFactor);
    });
}

QPainterPath FillShape::path(const QRectF& rect) const {
    return closedDown(LineShape{points}.path(rect), rect);
}

QPainterPath miniGraphLinePath(const QVector<double>& values, const QRectF& rect) {
    const double step = values.size() < 2 ? 0 : stepFor(values.size(), rect);
    return polyline(values.size(), [&](qsizetype i) {
        const double v = finiteOrZero(values[i]);
        return QPointF(rect.left() + static_cast<double>(i) * step,
                       rect.top() + rect.height() - rect.height() * v);
    });
}

QPainterPath miniGraphFillPath(const QVector<double>& values, const QRectF& rect) {
    return closedDown(miniGraphLinePath(values, rect), rect);
}

QLineF midLine(const QRectF& rect) {
    const double y = rect.center().y();
    return {rect.left(), y, rect.right(), y};
}

QRectF barFillRect(double fraction, const QRectF& rect) {
    const double shown = std::clamp(finiteOrZero(fraction), 0.0, 1.0);
    return {rect.left(), rect.top(), rect.width() * shown, rect.height()};
}
