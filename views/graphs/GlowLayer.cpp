#include "views/graphs/GlowLayer.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// One box pass over `count` samples `stride` apart starting at `first`; `scratch` holds the
// input while the output is written back.
void boxPass(uchar* first, int count, qsizetype stride, int radius, std::vector<int>& scratch) {
    scratch.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        scratch[static_cast<std::size_t>(i)] = first[i * stride];
    }
    const int width = 2 * radius + 1;
    int sum = 0;
    for (int i = 0; i < std::min(radius, count); ++i) {
        sum += scratch[static_cast<std::size_t>(i)];
    }
    for (int i = 0; i < count; ++i) {
        const int entering = i + radius;
        const int leaving = i - radius - 1;
        if (entering < count) {
            sum += scratch[static_cast<std::size_t>(entering)];
        }
        if (leaving >= 0) {
            sum -= scratch[static_cast<std::size_t>(leaving)];
        }
        first[i * stride] = static_cast<uchar>((sum + width / 2) / width);
    }
}

// The box radius whose three passes spread as a Gaussian of deviation `sigma`: three boxes of
// width w have the variance 3 (w² − 1) / 12.
int boxRadiusFor(double sigma) {
    const double width = std::sqrt(4 * sigma * sigma + 1);
    return std::max(0, static_cast<int>(std::lround((width - 1) / 2)));
}

}  // namespace

void boxBlurAlpha(QImage& alpha, int boxRadius) {
    if (boxRadius <= 0 || alpha.isNull() || alpha.format() != QImage::Format_Alpha8) {
        return;
    }
    std::vector<int> scratch;
    const int width = alpha.width();
    const int height = alpha.height();
    const qsizetype line = alpha.bytesPerLine();
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y) {
            boxPass(alpha.scanLine(y), width, 1, boxRadius, scratch);
        }
        for (int x = 0; x < width; ++x) {
            boxPass(alpha.bits() + x, height, line, boxRadius, scratch);
        }
    }
}

QImage glowLayer(const QPainterPath& line, QSize logicalSize, double devicePixelRatio,
                 const QColor& color) {
    const double dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const QSize pixels(static_cast<int>(std::ceil(logicalSize.width() * dpr)),
                       static_cast<int>(std::ceil(logicalSize.height() * dpr)));
    if (pixels.isEmpty() || line.isEmpty()) {
        return {};
    }
    // The stroke's coverage alone is blurred (one channel), then tinted in one fill.
    QImage mask(pixels, QImage::Format_Alpha8);
    mask.fill(0);
    mask.setDevicePixelRatio(dpr);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(Qt::black, glowStrokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        pen.setMiterLimit(10);
        painter.setPen(pen);
        painter.drawPath(line);
    }
    boxBlurAlpha(mask, boxRadiusFor(glowBlurRadius / 2 * dpr));

    QImage glow(pixels, QImage::Format_ARGB32_Premultiplied);
    glow.fill(Qt::transparent);
    glow.setDevicePixelRatio(dpr);
    QPainter painter(&glow);
    painter.drawImage(QPointF(0, 0), mask);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    QColor tint = color;
    tint.setAlphaF(static_cast<float>(color.alphaF() * glowOpacity));
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(logicalSize)), tint);
    return glow;
}
