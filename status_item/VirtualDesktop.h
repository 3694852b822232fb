#pragma once

#include "status_item/ItemAnchor.h"

#include <QPoint>
#include <QRect>
#include <QVector>

#include <optional>

// The virtual desktop: the union of every screen's geometry; empty while there is no screen.
QRect virtualDesktop();

// `point` moved the least distance that puts it on `area`; the area's top left when the area
// is empty. A tray host may send any int, and nothing beyond the desktop means anything.
QPoint clampOntoArea(QPoint point, QRect area);

// Every screen's whole and available area, the primary screen first.
QVector<ScreenPlace> screenPlaces();

// The pointer's position where the X server knows it; nothing on other platforms, where the
// toolkit's idea of it may be stale.
std::optional<QPoint> pointerWhereKnown();
