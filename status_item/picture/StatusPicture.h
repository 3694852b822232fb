#pragma once
#include <QImage>
#include <QString>
// What every face of the status item shows after one redraw.
struct StatusPicture {
    QImage wide;             // the renderer's image at the screen's device-pixel ratio
    QImage glance;           // square: first enabled metric's value over its sparkline
    QString label;           // plain text of the enabled metrics, e.g. "CPU 12%  RAM 48%"
    QString labelGuide;      // the widest text the label may take (constant width)
    QString toolTip;         // the item's name over its figures, for a tooltip without a title
    QString toolTipFigures;  // the figures alone, for a host that shows the name as the title
    QImage trayWide;  // the wide image at the tray's icon height, when it differs from `wide`
};
