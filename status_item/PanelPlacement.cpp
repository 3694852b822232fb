#include "status_item/PanelPlacement.h"

#include <algorithm>
#include <limits>

namespace {

// Positions are summed in 64 bits: a point from outside (a tray host, the settings file) may
// be any int, and an int sum would overflow at the edges of its range.
using Wide = long long;

struct Span {
    Wide start;
    Wide length;
};

Span horizontal(QRect area) {
    return {area.left(), Wide{area.right()} - area.left() + 1};
}

Span vertical(QRect area) {
    return {area.top(), Wide{area.bottom()} - area.top() + 1};
}

// The start of a window of `length` at `start`, moved into `area`; held at the area's start
// when the window is longer than the area.
Wide clampInto(Wide start, Wide length, Span area) {
    return std::clamp(start, area.start, std::max(area.start, area.start + area.length - length));
}

// Every clamped start lies within an area given as ints, so it fits an int again.
int narrow(Wide value) {
    return static_cast<int>(
        std::clamp<Wide>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

QPoint compactPanelOrigin(QPoint anchor, int itemHeight, QRect screenArea) {
    const Span across = horizontal(screenArea);
    const Span down = vertical(screenArea);
    const Wide width = compactPanelSize.width();
    const Wide height = compactPanelSize.height();
    const Wide x = Wide{anchor.x()} - width / 2;
    Wide y = Wide{anchor.y()} + compactPanelGap;
    if (y + height > down.start + down.length) {
        y = Wide{anchor.y()} - itemHeight - compactPanelGap - height;
    }
    return {narrow(clampInto(x, width, across)), narrow(clampInto(y, height, down))};
}

QPoint clampOntoScreens(QPoint topLeft, QSize size, const QVector<QRect>& screens) {
    QPoint best = topLeft;
    // A move may span 2^32 on each axis, so its square is compared as a double, not summed
    // in an integer that could overflow.
    double bestDistance = std::numeric_limits<double>::infinity();
    for (const QRect& screen : screens) {
        const Wide x = clampInto(topLeft.x(), size.width(), horizontal(screen));
        const Wide y = clampInto(topLeft.y(), size.height(), vertical(screen));
        const auto dx = static_cast<double>(x - topLeft.x());
        const auto dy = static_cast<double>(y - topLeft.y());
        const double distance = dx * dx + dy * dy;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = QPoint(narrow(x), narrow(y));
        }
    }
    return best;
}

QPoint resizedTopLeft(QRect before, QSize size, QRect screenArea) {
    const auto keepNearerEdge = [](Wide start, Wide oldLength, Wide newLength, Span area) {
        const Wide toStartBorder = start - area.start;
        const Wide toEndBorder = area.start + area.length - (start + oldLength);
        return toEndBorder < toStartBorder ? start + oldLength - newLength : start;
    };
    const Wide x =
        keepNearerEdge(before.left(), before.width(), size.width(), horizontal(screenArea));
    const Wide y =
        keepNearerEdge(before.top(), before.height(), size.height(), vertical(screenArea));
    return {narrow(x), narrow(y)};
}
