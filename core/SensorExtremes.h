#pragma once

#include "core/SampleRecords.h"

#include <QHash>
#include <QString>
#include <QVector>

// The lowest and highest value a sensor reading showed in the session.
struct SensorExtremes {
    double minimum;
    double maximum;
    bool operator==(const SensorExtremes&) const = default;
};

// At most this many readings keep extremes, so readings that come and go all session long
// (hot-plugged devices) cannot grow the table without end; the helper sends at most 512.
inline constexpr qsizetype sensorExtremesLimit = 4096;

// Widens each reading's extremes, keyed by its identity, by its finite value; an absent or
// non-finite value leaves them as they were.
void widenSensorExtremes(QHash<QString, SensorExtremes>& extremes,
                         const QVector<SensorChannelReading>& channels);
