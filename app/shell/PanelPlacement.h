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
// item), centred on it, kept inside `screenArea`; when there is no room below (a tray at
// the bottom of the screen), it hangs above `anchorTop` instead.
QPoint compactPanelOrigin(QPoint anchor, int anchorTop, QRect screenArea);

// Where the panel hangs from when no status item tells: the top right corner of `screenArea`.
QPoint topRightAnchor(QRect screenArea);

// `window` moved the least distance that puts it wholly on one of `screens` (the nearest),
// or unchanged when it already lies on one; unchanged too when there is no screen at all.
QPoint clampOntoScreens(QRect window, const QVector<QRect>& screens);
