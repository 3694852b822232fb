#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QSize>

// The soft glow under a glow graph's line, drawn once into an image and reused for every
// paint until the size, the history or the colour changes.

// How wide the glow's stroke is before blurring, and its blur radius, in logical pixels.
inline constexpr double glowStrokeWidth = 5;
inline constexpr double glowBlurRadius = 5;
inline constexpr double glowOpacity = 0.55;

// `line` (in logical coordinates of a `logicalSize` view) stroked in `color` at opacity 0.55,
// width 5, round caps and joins, then blurred with radius 5; the image is `logicalSize` × dpr
// device pixels and carries that device pixel ratio. A blur of radius r is a Gaussian of
// standard deviation r/2 (three box passes), so the glow fades out about r pixels beyond
// the stroke.
QImage glowLayer(const QPainterPath& line, QSize logicalSize, double devicePixelRatio,
                 const QColor& color);

// Blurs an 8-bit alpha image in place with three box passes of `boxRadius` pixels in each
// direction; pixels outside the image count as transparent.
void boxBlurAlpha(QImage& alpha, int boxRadius);
