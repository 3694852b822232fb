#pragma once

#include "core/SamplingDemand.h"
#include "status_list/StatusItemEntry.h"

#include <QVector>

class AppSettings;

// The sources each view shows, for the tokens its holder takes.

// The status item's enabled entries: the temperatures and the fan come from the sensors.
SourceSet statusItemSources(const QVector<StatusItemEntry>& items);

// The compact panel's sections as the settings ask for them; every section shows a sensor
// reading (a temperature or the fan), and the battery's decides its presence by the record.
SourceSet compactPanelSources(const AppSettings& settings);

// The dashboard shows every source: its summary chips and session bar besides the cards.
inline constexpr SourceSet dashboardSources = SourceSet::all();
