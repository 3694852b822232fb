#include "platform/linux/power/PowerSupplyCombiner.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Longer estimates come from a near-zero power reading, not from a real drain.
constexpr double kLongestEstimateMinutes = 1000.0 * 60.0;
// Bound on every derived figure: far beyond any battery, well inside 64 bits.
constexpr double kLargestFigure = 1e15;

constexpr std::string_view kCharging = "Charging";
constexpr std::string_view kDischarging = "Discharging";
constexpr std::string_view kNotCharging = "Not charging";
constexpr std::string_view kFull = "Full";
constexpr std::string_view kHealthGood = "Good";
constexpr std::string_view kHealthUnknown = "Unknown";

std::optional<double> nonNegative(std::optional<std::int64_t> value) {
    if (value && *value >= 0) {
        return static_cast<double>(*value);
    }
    return std::nullopt;
}

std::optional<double> positive(std::optional<std::int64_t> value) {
    if (value && *value > 0) {
        return static_cast<double>(*value);
    }
    return std::nullopt;
}

std::optional<double> magnitude(std::optional<std::int64_t> value) {
    if (value) {
        return std::abs(static_cast<double>(*value));
    }
    return std::nullopt;
}

std::optional<std::int64_t> whole(double value) {
    if (!std::isfinite(value) || std::abs(value) > kLargestFigure) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(std::llround(value));
}

// One battery's figures in common units: energies in µWh, capacities in mAh, power in µW.
struct BatteryFigures {
    std::optional<double> energyNow;
    std::optional<double> energyFull;
    std::optional<double> designMah;
    std::optional<double> fullMah;
    std::optional<double> voltage;  // µV, present
    std::optional<double> power;    // µW through the battery, unsigned
    // Power in the same terms as the energies, for time estimates: a charge-based gauge's
    // energies are converted at the design voltage, so its current is too.
    std::optional<double> estimatePower;
};

std::optional<double> energyOf(std::optional<std::int64_t> energy,
                               std::optional<std::int64_t> charge,
                               std::optional<double> conversionVoltage) {
    if (const auto microwattHours = nonNegative(energy)) {
        return microwattHours;
    }
    const auto microampHours = nonNegative(charge);
    if (microampHours && conversionVoltage) {
        return *microampHours * *conversionVoltage / 1e6;
    }
    return std::nullopt;
}

std::optional<double> milliampHoursOf(std::optional<std::int64_t> charge,
                                      std::optional<std::int64_t> energy,
                                      std::optional<double> conversionVoltage) {
    if (const auto microampHours = nonNegative(charge)) {
        return *microampHours / 1000.0;
    }
    const auto microwattHours = nonNegative(energy);
    if (microwattHours && conversionVoltage) {
        return *microwattHours * 1000.0 / *conversionVoltage;
    }
    return std::nullopt;
}

BatteryFigures figuresOf(const BatteryAttributes& battery) {
    BatteryFigures figures;
    figures.voltage = positive(battery.voltageNow);
    auto conversionVoltage = positive(battery.voltageMinDesign);
    if (!conversionVoltage) {
        conversionVoltage = figures.voltage;
    }
    figures.energyNow = energyOf(battery.energyNow, battery.chargeNow, conversionVoltage);
    figures.energyFull = energyOf(battery.energyFull, battery.chargeFull, conversionVoltage);
    figures.designMah =
        milliampHoursOf(battery.chargeFullDesign, battery.energyFullDesign, conversionVoltage);
    figures.fullMah = milliampHoursOf(battery.chargeFull, battery.energyFull, conversionVoltage);

    const auto current = magnitude(battery.currentNow);
    if (const auto power = magnitude(battery.powerNow)) {
        figures.power = power;
    } else if (current && figures.voltage) {
        figures.power = *current * *figures.voltage / 1e6;
    }
    const bool chargeBased = !nonNegative(battery.energyNow) && nonNegative(battery.chargeNow);
    if (chargeBased && current && conversionVoltage) {
        figures.estimatePower = *current * *conversionVoltage / 1e6;
    } else {
        figures.estimatePower = figures.power;
    }
    return figures;
}

bool anyStatus(const std::vector<BatteryAttributes>& batteries, std::string_view status) {
    return std::any_of(
        batteries.begin(), batteries.end(),
        [status](const BatteryAttributes& battery) { return battery.status == status; });
}

std::optional<std::int64_t> validPercent(std::optional<std::int64_t> capacity) {
    if (capacity && *capacity >= 0 && *capacity <= 100) {
        return capacity;
    }
    return std::nullopt;
}

std::optional<std::int64_t> chargePercent(const std::vector<BatteryAttributes>& batteries,
                                          const std::vector<BatteryFigures>& figures) {
    if (batteries.size() == 1) {
        if (const auto percent = validPercent(batteries.front().capacityPercent)) {
            return percent;
        }
    }
    double energyNow = 0;
    double energyFull = 0;
    bool energiesKnown = true;
    for (const BatteryFigures& battery : figures) {
        energiesKnown = energiesKnown && battery.energyNow && battery.energyFull;
        energyNow += battery.energyNow.value_or(0);
        energyFull += battery.energyFull.value_or(0);
    }
    if (energiesKnown && energyFull > 0) {
        // A gauge may read slightly above full at the end of a charge.
        return whole(std::min(100.0, energyNow * 100.0 / energyFull));
    }
    double percentSum = 0;
    int percentCount = 0;
    for (const BatteryAttributes& battery : batteries) {
        if (const auto percent = validPercent(battery.capacityPercent)) {
            percentSum += static_cast<double>(*percent);
            ++percentCount;
        }
    }
    if (percentCount == 0) {
        return std::nullopt;
    }
    return whole(percentSum / percentCount);
}

std::optional<std::int64_t> minutesOfSeconds(std::optional<std::int64_t> seconds) {
    const auto value = nonNegative(seconds);
    if (!value || *value / 60.0 > kLongestEstimateMinutes) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(*value / 60.0);
}

std::optional<std::int64_t> estimateMinutes(double energy, double power) {
    if (!(power > 0) || energy < 0) {
        return std::nullopt;
    }
    const double minutes = energy / power * 60.0;
    if (!std::isfinite(minutes) || minutes > kLongestEstimateMinutes) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(minutes);
}

struct Estimates {
    std::optional<std::int64_t> toEmpty;
    std::optional<std::int64_t> toFull;
};

Estimates computedEstimates(const std::vector<BatteryFigures>& figures) {
    double energyNow = 0;
    double energyFull = 0;
    double power = 0;
    for (const BatteryFigures& battery : figures) {
        if (!battery.energyNow || !battery.energyFull) {
            return {};
        }
        energyNow += *battery.energyNow;
        energyFull += *battery.energyFull;
        power += battery.estimatePower.value_or(0);
    }
    return {estimateMinutes(energyNow, power),
            estimateMinutes(std::max(0.0, energyFull - energyNow), power)};
}

std::optional<std::string> conditionOf(const std::vector<BatteryAttributes>& batteries) {
    bool anyGood = false;
    for (const BatteryAttributes& battery : batteries) {
        if (battery.health.empty() || battery.health == kHealthUnknown) {
            continue;
        }
        if (battery.health != kHealthGood) {
            return battery.health;
        }
        anyGood = true;
    }
    return anyGood ? std::optional<std::string>(kHealthGood) : std::nullopt;
}

SmartBatteryProperties gaugeOf(const std::vector<BatteryAttributes>& batteries,
                               const std::vector<BatteryFigures>& figures, bool discharging) {
    SmartBatteryProperties gauge;
    for (const BatteryAttributes& battery : batteries) {
        if (battery.cycleCount && *battery.cycleCount > 0) {
            gauge.cycleCount = std::max(gauge.cycleCount.value_or(0), *battery.cycleCount);
        }
    }

    // Health compares full with design capacity, so both sums come from the same packs.
    double designSum = 0;
    double fullSum = 0;
    bool anyPaired = false;
    for (const BatteryFigures& battery : figures) {
        if (battery.designMah && battery.fullMah) {
            designSum += *battery.designMah;
            fullSum += *battery.fullMah;
            anyPaired = true;
        }
    }
    if (anyPaired) {
        gauge.designCapacity = whole(designSum);
        gauge.rawMaxCapacity = whole(fullSum);
    } else {
        std::optional<double> design;
        std::optional<double> full;
        for (const BatteryFigures& battery : figures) {
            if (battery.designMah) {
                design = design.value_or(0) + *battery.designMah;
            }
            if (battery.fullMah) {
                full = full.value_or(0) + *battery.fullMah;
            }
        }
        gauge.designCapacity = design ? whole(*design) : std::nullopt;
        gauge.rawMaxCapacity = full ? whole(*full) : std::nullopt;
    }

    double voltageSum = 0;
    int voltageCount = 0;
    double power = 0;
    bool powerKnown = false;
    for (const BatteryFigures& battery : figures) {
        if (battery.voltage) {
            voltageSum += *battery.voltage;
            ++voltageCount;
        }
        if (battery.power) {
            power += *battery.power;
            powerKnown = true;
        }
    }
    if (voltageCount > 0) {
        const double voltage = voltageSum / voltageCount;
        gauge.voltage = whole(voltage / 1000.0);
        if (powerKnown) {
            const auto amperage = whole(power / voltage * 1000.0);
            if (amperage) {
                gauge.amperage = discharging ? -*amperage : *amperage;
            }
        }
    }
    return gauge;
}

}  // namespace

PowerSupplyReading describePowerSupplies(const PowerSupplyAttributes& attributes) {
    const auto& batteries = attributes.batteries;
    if (batteries.empty()) {
        return {};
    }
    std::vector<BatteryFigures> figures;
    figures.reserve(batteries.size());
    for (const BatteryAttributes& battery : batteries) {
        figures.push_back(figuresOf(battery));
    }

    const bool charging = anyStatus(batteries, kCharging);
    const bool discharging = !charging && anyStatus(batteries, kDischarging);
    const bool held = anyStatus(batteries, kFull) || anyStatus(batteries, kNotCharging);
    const bool pluggedIn = attributes.externalSupplyOnline || charging ||
                           (!attributes.externalSupplyListed && held && !discharging);

    PowerSourceDescription source;
    source.currentCapacity = chargePercent(batteries, figures);
    source.maxCapacity = 100;
    source.isCharging = charging;
    source.powerSourceState = std::string(pluggedIn ? kACPowerState : kBatteryPowerState);
    source.batteryHealth = conditionOf(batteries);

    const bool lone = batteries.size() == 1;
    const Estimates computed = computedEstimates(figures);
    if (charging) {
        const auto driver =
            lone ? minutesOfSeconds(batteries.front().timeToFullSeconds) : std::nullopt;
        source.timeToFullChargeMinutes = driver ? driver : computed.toFull;
    } else if (discharging) {
        const auto driver =
            lone ? minutesOfSeconds(batteries.front().timeToEmptySeconds) : std::nullopt;
        source.timeToEmptyMinutes = driver ? driver : computed.toEmpty;
    } else if (pluggedIn) {
        source.timeToEmptyMinutes = kTimeRemainingUnlimited;
    }

    PowerSupplyReading reading;
    reading.powerSources.push_back(std::move(source));
    reading.smartBattery = gaugeOf(batteries, figures, discharging);
    return reading;
}
