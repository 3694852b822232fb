#include "status_item/ItemAnchor.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Points come from outside (a tray host may send any int), so distances are taken in 64 bits.
using Wide = long long;

// Around the item in a bar the screen does not show (waybar's is 30 px for a 24 px item).
constexpr int hiddenBarPadding = 8;

Wide distance(int from, int to) {
    return std::llabs(Wide{from} - Wide{to});
}

bool nearEachOther(QPoint a, QPoint b) {
    return distance(a.x(), b.x()) <= nearPointer && distance(a.y(), b.y()) <= nearPointer;
}

// The screen whose edge band holds `point`: the band is `panelEdgeBand` deep, or as deep as
// the panels' cut where that is deeper.
const ScreenPlace* screenWithPointInBand(QPoint point, const QVector<ScreenPlace>& screens) {
    for (const ScreenPlace& screen : screens) {
        const QRect inner =
            screen.geometry.adjusted(panelEdgeBand, panelEdgeBand, -panelEdgeBand, -panelEdgeBand);
        const bool inCut = !screen.available.contains(point);
        if (screen.geometry.contains(point) && (inCut || !inner.contains(point))) {
            return &screen;
        }
    }
    return nullptr;
}

// A point on a bar that panels cut off a screen: the anchor at the bar's inner edge, so that
// the panel opens beside the bar rather than over it. Elsewhere the point as it is.
QPoint besideTheBar(QPoint point, const ScreenPlace& screen, int itemHeight) {
    const QRect& whole = screen.geometry;
    const QRect& left = screen.available;
    if (left.isEmpty() || left.contains(point)) {
        return point;
    }
    if (point.y() < left.top() && left.top() > whole.top()) {
        return {point.x(), left.top()};
    }
    if (point.y() > left.bottom() && left.bottom() < whole.bottom()) {
        // The panel then hangs above an item `itemHeight` tall whose top is the bar's edge.
        return {point.x(), left.bottom() + 1 + itemHeight};
    }
    return point;
}

QPoint trayAnchor(QRect tray, const QVector<ScreenPlace>& screens, int itemHeight) {
    const QPoint centre = tray.center();
    const auto screen = std::find_if(screens.begin(), screens.end(), [&](const ScreenPlace& s) {
        return s.geometry.contains(centre);
    });
    // In the lower half of its screen, the tray is a bottom bar: the panel hangs above it.
    if (screen != screens.end() && centre.y() > screen->geometry.center().y()) {
        return {centre.x(), tray.top() + itemHeight};
    }
    return {centre.x(), tray.bottom() + 1};
}

QPoint cornerNearestPanels(const ScreenPlace& screen, int itemHeight, bool barsHidden) {
    const QRect& whole = screen.geometry;
    const QRect& left = screen.available.isEmpty() ? whole : screen.available;
    const bool cutTop = left.top() > whole.top();
    const bool cutBottom = left.bottom() < whole.bottom();
    const bool cutLeft = left.left() > whole.left();
    const bool cutRight = left.right() < whole.right();
    const int x = (cutLeft && !cutRight) ? left.left() : left.right();
    const int hiddenBar = barsHidden && !(cutTop || cutBottom) ? itemHeight + hiddenBarPadding : 0;
    const int y = (cutBottom && !cutTop) ? left.bottom() + 1 + itemHeight : left.top() + hiddenBar;
    return {x, y};
}

}  // namespace

QPoint itemAnchor(const ItemPlaceFacts& facts) {
    if (facts.screens.isEmpty()) {
        return facts.hostPoint.value_or(facts.pointer.value_or(QPoint()));
    }
    const auto hostPoint =
        facts.hostPoint && !facts.hostPoint->isNull() ? facts.hostPoint : std::nullopt;
    if (hostPoint) {
        const ScreenPlace* screen = screenWithPointInBand(*hostPoint, facts.screens);
        if (screen && (!facts.pointer || nearEachOther(*hostPoint, *facts.pointer))) {
            return besideTheBar(*hostPoint, *screen, facts.itemHeight);
        }
    }
    if (facts.pointer) {
        if (const ScreenPlace* screen = screenWithPointInBand(*facts.pointer, facts.screens)) {
            return besideTheBar(*facts.pointer, *screen, facts.itemHeight);
        }
    }
    if (facts.tray && facts.tray->isValid()) {
        return trayAnchor(*facts.tray, facts.screens, facts.itemHeight);
    }
    return cornerNearestPanels(facts.screens.first(), facts.itemHeight, facts.barsHidden);
}
