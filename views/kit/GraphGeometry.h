#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QVector>

// The geometry of the history graphs, free of painting so it can be checked on its own. Every
// path is in the coordinates of `rect`: x grows rightwards from rect.left(), y grows downwards
// from rect.top(). Values that are not finite count as 0, so no path ever holds a NaN point.

// A self-scaling history as fractions of its own maximum: each value divided by the largest
// one, or all 0 when the largest is not positive. Fewer than 2 values give an empty result.
QVector<double> normalize(const QVector<double>& values);

// How far down a fraction of 0 lies in a glow graph: 94 % of the height, so the line and its
// glow never sit on the bottom edge.
inline constexpr double glowBaseFactor = 0.94;

// The line of a glow graph through normalised points 0…1: point i at
// (i × W/(n−1), H × (1 − p_i) × 0.94). Fewer than 2 points give an empty path.
struct LineShape {
    QVector<double> points;
    QPainterPath path(const QRectF& rect) const;
};

// The area under a LineShape: from the bottom-left corner through every point to the
// bottom-right corner, closed. Fewer than 2 points give an empty path.
struct FillShape {
    QVector<double> points;
    QPainterPath path(const QRectF& rect) const;
};

// The line of a mini graph through fractions used unchanged (1 the top, 0 the bottom): point i
// at (i × W/(n−1), H − H × v_i). Fewer than 2 values give an empty path.
QPainterPath miniGraphLinePath(const QVector<double>& values, const QRectF& rect);
// The closed area under the mini graph's line, down to the bottom edge; empty as the line is.
QPainterPath miniGraphFillPath(const QVector<double>& values, const QRectF& rect);

// The horizontal line across the middle that stands in for a graph with fewer than 2 values.
QLineF midLine(const QRectF& rect);

// The filled part of a bar showing `fraction` of `rect`, aligned to the left edge. The fraction
// is clamped to 0…1 so a stray value never draws outside the track or with a negative width.
QRectF barFillRect(double fraction, const QRectF& rect);
