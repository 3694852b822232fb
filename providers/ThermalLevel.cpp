#include "providers/ThermalLevel.h"

#include <algorithm>

namespace {

constexpr double kCriticalMarginCelsius = 5;
constexpr double kPassiveMarginCelsius = 10;

ThermalState zoneLevel(const ThermalZoneReading& zone) {
    ThermalState level = ThermalState::nominal;
    const auto raise = [&level](ThermalState to) { level = std::max(level, to); };
    for (const TripPoint& trip : zone.trips) {
        switch (trip.kind) {
            case TripKind::hot:
                if (zone.celsius >= trip.celsius) {
                    raise(ThermalState::critical);
                }
                break;
            case TripKind::critical:
                if (zone.celsius >= trip.celsius - kCriticalMarginCelsius) {
                    raise(ThermalState::critical);
                }
                break;
            case TripKind::passive:
                if (zone.celsius >= trip.celsius) {
                    raise(ThermalState::serious);
                } else if (zone.celsius >= trip.celsius - kPassiveMarginCelsius) {
                    raise(ThermalState::fair);
                }
                break;
            case TripKind::active:
                if (zone.celsius >= trip.celsius) {
                    raise(ThermalState::fair);
                }
                break;
        }
    }
    return level;
}

// A sensor's max plays the part of a passive trip, its crit that of a critical trip.
ThermalState sensorLevel(const HwmonTemperature& sensor) {
    if (sensor.critCelsius && sensor.celsius >= *sensor.critCelsius - kCriticalMarginCelsius) {
        return ThermalState::critical;
    }
    if (sensor.maxCelsius && sensor.celsius >= *sensor.maxCelsius) {
        return ThermalState::serious;
    }
    if (sensor.maxCelsius && sensor.celsius >= *sensor.maxCelsius - kPassiveMarginCelsius) {
        return ThermalState::fair;
    }
    return ThermalState::nominal;
}

}  // namespace

ThermalState temperatureLevel(const ThermalReadings& readings) {
    ThermalState level = ThermalState::nominal;
    for (const ThermalZoneReading& zone : readings.zones) {
        level = std::max(level, zoneLevel(zone));
    }
    for (const HwmonTemperature& sensor : readings.hwmon) {
        level = std::max(level, sensorLevel(sensor));
    }
    return level;
}
