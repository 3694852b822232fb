#pragma once

#include <QPoint>
#include <QRect>

// The desktop's screens as the shell needs them; the primary screen stands in where no
// screen is at a point, and fixed values where there is no screen at all.
double screenLogicalDpi();
double screenPixelRatio();
// The available area of the screen at `point`.
QRect screenAreaAt(QPoint point);
