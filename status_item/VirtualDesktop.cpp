#include "status_item/VirtualDesktop.h"

#include "status_item/FloatingWindowKind.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

QVector<ScreenPlace> screenPlaces() {
    QVector<ScreenPlace> places;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) {
        places.append({primary->geometry(), primary->availableGeometry()});
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary) {
            places.append({screen->geometry(), screen->availableGeometry()});
        }
    }
    return places;
}

std::optional<QPoint> pointerWhereKnown() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return std::nullopt;
    }
    return QCursor::pos();
}

ItemPlaceFacts itemPlaceFacts(std::optional<QPoint> hostPoint, int itemHeight) {
    ItemPlaceFacts facts;
    facts.screens = screenPlaces();
    facts.itemHeight = itemHeight;
    if (xServerUnderWaylandCompositor()) {
        facts.barsHidden = true;
        return facts;
    }
    facts.hostPoint = hostPoint;
    facts.pointer = pointerWhereKnown();
    return facts;
}
