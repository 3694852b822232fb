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

// What this desktop tells of the item's place, given a tray host's click point (if any). Under
// a Wayland compositor, through XWayland, neither the host's point nor the pointer can be
// trusted: a Wayland client knows no global position, and the X server hears of the pointer
// only while it is over an X window. The bars are then not in the screens' available areas.
ItemPlaceFacts itemPlaceFacts(std::optional<QPoint> hostPoint, int itemHeight);
