#include "app/shell/PanelPlacement.h"

#include <algorithm>
#include <limits>

namespace {

QPoint clampInto(QRect window, QRect area) {
    const int x = std::clamp(window.x(), area.left(),
                             std::max(area.left(), area.right() + 1 - window.width()));
    const int y = std::clamp(window.y(), area.top(),
                             std::max(area.top(), area.bottom() + 1 - window.height()));
    return {x, y};
}

}  // namespace

QPoint compactPanelOrigin(QPoint anchor, int anchorTop, QRect screenArea) {
    QPoint origin(anchor.x() - compactPanelSize.width() / 2, anchor.y() + compactPanelGap);
    if (origin.y() + compactPanelSize.height() > screenArea.bottom() + 1) {
        origin.setY(anchorTop - compactPanelGap - compactPanelSize.height());
    }
    return clampInto(QRect(origin, compactPanelSize), screenArea);
}

QPoint topRightAnchor(QRect screenArea) {
    // The panel's origin is clamped into the area, so the corner itself serves as the anchor;
    // the gap then keeps the panel 4 px below the top edge.
    return {screenArea.right(), screenArea.top()};
}

QPoint clampOntoScreens(QRect window, const QVector<QRect>& screens) {
    QPoint best = window.topLeft();
    long long bestDistance = std::numeric_limits<long long>::max();
    for (const QRect& screen : screens) {
        const QPoint moved = clampInto(window, screen);
        const QPoint delta = moved - window.topLeft();
        const long long distance = static_cast<long long>(delta.x()) * delta.x() +
                                   static_cast<long long>(delta.y()) * delta.y();
        if (distance < bestDistance) {
            bestDistance = distance;
            best = moved;
        }
    }
    return best;
}
