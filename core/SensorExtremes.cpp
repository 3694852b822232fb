#include "core/SensorExtremes.h"

#include <algorithm>
#include <cmath>

void widenSensorExtremes(QHash<QString, SensorExtremes>& extremes,
                         const QVector<SensorChannelReading>& channels) {
    for (const SensorChannelReading& channel : channels) {
        if (!channel.value || !std::isfinite(*channel.value)) {
            continue;
        }
        const double value = *channel.value;
        const QString identity = channel.identity();
        const auto known = extremes.find(identity);
        if (known != extremes.end()) {
            known->minimum = std::min(known->minimum, value);
            known->maximum = std::max(known->maximum, value);
        } else if (extremes.size() < sensorExtremesLimit) {
            extremes.insert(identity, {value, value});
        }
    }
}
