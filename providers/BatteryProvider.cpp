#include "providers/BatteryProvider.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

// Figures are 64-bit in the source and plain integers in the record; anything beyond that
// range is garbage and is pinned to the range rather than wrapped.
int toInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

int percentageOf(const PowerSourceDescription& source) {
    const std::int64_t current = toInt(source.currentCapacity.value_or(0));
    if (!source.maxCapacity) {
        return toInt(current * 100 / 100);
    }
    const std::int64_t maximum = toInt(*source.maxCapacity);
    return maximum >= 1 ? toInt(current * 100 / maximum) : toInt(current);
}

struct GaugeFigures {
    int cycleCount = -1;
    int designCapacity = -1;
    int maxCapacity = -1;
    int millivolts = 0;
    int milliamps = 0;
};

GaugeFigures gaugeFiguresOf(const std::optional<SmartBatteryProperties>& gauge) {
    GaugeFigures figures;
    if (!gauge) {
        return figures;
    }
    figures.cycleCount = toInt(gauge->cycleCount.value_or(-1));
    figures.designCapacity = toInt(gauge->designCapacity.value_or(-1));
    figures.maxCapacity =
        toInt(gauge->rawMaxCapacity ? *gauge->rawMaxCapacity : gauge->maxCapacity.value_or(-1));
    figures.millivolts = toInt(gauge->voltage.value_or(0));
    figures.milliamps = toInt(gauge->amperage.value_or(0));
    return figures;
}

int healthPercentOf(const GaugeFigures& gauge) {
    if (gauge.designCapacity < 1 || gauge.maxCapacity < 1) {
        return -1;
    }
    const std::int64_t health =
        std::int64_t{gauge.maxCapacity} * 100 / std::int64_t{gauge.designCapacity};
    return toInt(std::min<std::int64_t>(100, health));
}

}  // namespace

BatteryProvider::BatteryProvider(std::unique_ptr<PowerSupplySource> source)
    : source_(std::move(source)) {}

BatteryStats BatteryProvider::sample() {
    const PowerSupplyReading reading = source_->read();
    if (reading.powerSources.empty()) {
        return BatteryStats{};
    }
    const PowerSourceDescription& source = reading.powerSources.front();

    BatteryStats stats;
    stats.hasBattery = true;
    stats.percentage = percentageOf(source);
    stats.isCharging = source.isCharging.value_or(false);
    stats.isPluggedIn = source.powerSourceState == kACPowerState;
    const auto& minutes =
        stats.isCharging ? source.timeToFullChargeMinutes : source.timeToEmptyMinutes;
    stats.timeRemainingMinutes = minutes ? toInt(*minutes) : -1;
    stats.condition = QString::fromStdString(source.batteryHealth.value_or(std::string{}));

    const GaugeFigures gauge = gaugeFiguresOf(reading.smartBattery);
    stats.cycleCount = gauge.cycleCount;
    stats.designCapacityMAh = gauge.designCapacity;
    stats.currentMaxCapacityMAh = gauge.maxCapacity;
    stats.healthPercent = healthPercentOf(gauge);
    stats.voltage = gauge.millivolts / 1000.0;
    // Charging and discharging both count as power through the battery.
    stats.currentWatts =
        stats.voltage > 0
            ? stats.voltage * (std::abs(static_cast<double>(gauge.milliamps)) / 1000.0)
            : 0.0;
    return stats;
}
