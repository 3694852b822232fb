#pragma once

#include "status_item/ItemAnchor.h"

#include <QPoint>
#include <QRect>
#include <QVector>

#include <optional>

// Every screen's whole and available area, the primary screen first.
QVector<ScreenPlace> screenPlaces();

// The pointer's position where the X server knows it; nothing on other platforms, where the
// toolkit's idea of it may be stale.
std::optional<QPoint> pointerWhereKnown();
