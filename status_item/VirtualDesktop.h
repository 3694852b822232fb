#pragma once

#include <QPoint>
#include <QRect>

// The virtual desktop: the union of every screen's geometry; empty while there is no screen.
QRect virtualDesktop();

// `point` moved the least distance that puts it on `area`; the area's top left when the area
// is empty. A tray host may send any int, and nothing beyond the desktop means anything.
QPoint clampOntoArea(QPoint point, QRect area);
