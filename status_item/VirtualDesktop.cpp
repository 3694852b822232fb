#include "status_item/VirtualDesktop.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

QRect virtualDesktop() {
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens()) {
        desktop = desktop.united(screen->geometry());
    }
    return desktop;
}

QPoint clampOntoArea(QPoint point, QRect area) {
    if (area.isEmpty()) {
        return area.topLeft();
    }
    return {std::clamp(point.x(), area.left(), area.right()),
            std::clamp(point.y(), area.top(), area.bottom())};
}
