#pragma once

#include "status_item/picture/StatusItemRenderer.h"
#include "status_item/picture/StatusPicture.h"

// The square form of the status item for trays that draw square cells: the first enabled
// metric's value over its sparkline, coloured like the wide image.
QImage renderGlance(const StatusItemRenderer& renderer, const StatusRecords& records,
                    const MonitorHistories& histories, const StatusLook& look, double side,
                    double devicePixelRatio);

// Everything the faces show after one redraw: the wide image at `thickness`, the glance at
// `glanceSide` (left empty when `glanceSide` is 0: no face shows one), the label and its
// guide, the tooltip.
StatusPicture makeStatusPicture(const StatusItemRenderer& renderer, const StatusRecords& records,
                                const MonitorHistories& histories, const StatusLook& look,
                                double thickness, double glanceSide, double devicePixelRatio);
