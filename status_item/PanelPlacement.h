#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QVector>

#include <optional>

// The compact panel's size, and the gap it keeps under the status item.
inline constexpr QSize compactPanelSize{320, 520};
inline constexpr int compactPanelGap = 4;

// Top-left of the compact panel hanging under `anchor` (the bottom centre of the status
// item, `itemHeight` tall), centred on it, kept inside `screenArea`; when there is no room
// below (a tray at the bottom of the screen), it hangs above the item instead. Any int is a
// valid anchor: the arithmetic cannot overflow.
QPoint compactPanelOrigin(QPoint anchor, int itemHeight, QRect screenArea);

// The top left of a window of `size` at `topLeft`, moved the least distance that puts it
// wholly on one of `screens` (the nearest), or unchanged when it already lies on one;
// unchanged too when there is no screen at all. Any int is a valid position.
QPoint clampOntoScreens(QPoint topLeft, QSize size, const QVector<QRect>& screens);

// The top left of a window that was `before` and is now `size`, so that it grows or shrinks
// away from the border of `screenArea` it is nearer to: a window nearer the right border
// keeps its right edge, else its left edge (likewise bottom and top). Any int is valid.
QPoint resizedTopLeft(QRect before, QSize size, QRect screenArea);
