#include "exposition/MetricFamilies.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <vector>

namespace {

void writeNamedTemperatures(ExpositionWriter& writer, const SensorStats& sensors) {
    const struct {
        const char* name;
        const std::optional<double>& celsius;
    } temperatures[] = {
        {"cpu", sensors.cpuTempCelsius},         {"gpu", sensors.gpuTempCelsius},
        {"battery", sensors.batteryTempCelsius}, {"ssd", sensors.ssdTempCelsius},
        {"memory", sensors.memoryTempCelsius},   {"ambient", sensors.ambientTempCelsius},
        {"io", sensors.ioTempCelsius},
    };
    writer.beginFamily("vantrel_temperature_celsius", MetricKind::gauge,
                       "The machine's main temperatures as the sensor helper picks them.");
    for (const auto& temperature : temperatures) {
        writer.sample(temperature.celsius, {{"name", temperature.name}});
    }
}

void writeNamedPowers(ExpositionWriter& writer, const SensorStats& sensors) {
    const struct {
        const char* name;
        const std::optional<double>& watts;
    } powers[] = {
        {"cpu", sensors.cpuPowerWatts},
        {"gpu", sensors.gpuPowerWatts},
        {"system", sensors.systemPowerWatts},
        {"charger", sensors.chargerPowerWatts},
    };
    writer.beginFamily("vantrel_power_watts", MetricKind::gauge,
                       "The machine's main power draws as the sensor helper picks them.");
    for (const auto& power : powers) {
        writer.sample(power.watts, {{"name", power.name}});
    }
}

void writeFans(ExpositionWriter& writer, const SensorStats& sensors) {
    writer.beginFamily("vantrel_fan_speed_rpm", MetricKind::gauge,
                       "Speed of the machine's main fans in revolutions per minute.");
    for (const FanReading& fan : sensors.fans) {
        const NumberLabelText index(fan.index);
        writer.sample(fan.rpm, {{"fan", index.view()}});
    }
}

// The channels to export, in the list's order: a channel named like an earlier one would
// give two series of the same labels, which Prometheus refuses, so only the first is kept.
std::vector<const SensorChannelReading*> distinctChannels(
    const QVector<SensorChannelReading>& channels) {
    std::vector<const SensorChannelReading*> byName(static_cast<std::size_t>(channels.size()));
    std::transform(channels.begin(), channels.end(), byName.begin(),
                   [](const SensorChannelReading& channel) { return &channel; });
    std::stable_sort(byName.begin(), byName.end(), [](const auto* left, const auto* right) {
        return std::tie(left->chip, left->sensor) < std::tie(right->chip, right->sensor);
    });
    std::vector<bool> repeated(byName.size(), false);
    for (std::size_t i = 1; i < byName.size(); ++i) {
        if (byName[i]->chip == byName[i - 1]->chip && byName[i]->sensor == byName[i - 1]->sensor) {
            repeated[static_cast<std::size_t>(byName[i] - channels.data())] = true;
        }
    }
    std::vector<const SensorChannelReading*> kept;
    kept.reserve(byName.size());
    for (qsizetype i = 0; i < channels.size(); ++i) {
        if (!repeated[static_cast<std::size_t>(i)]) {
            kept.push_back(&channels[i]);
        }
    }
    return kept;
}

using ChannelFigure = std::optional<double> SensorChannelReading::*;

void writeChannels(ExpositionWriter& writer,
                   const std::vector<const SensorChannelReading*>& channels, SensorChannelKind kind,
                   ChannelFigure figure) {
    for (const SensorChannelReading* channel : channels) {
        if (channel->kind == kind) {
            writer.sample(
                channel->*figure,
                {{"chip", channel->chip}, {"sensor", channel->sensor}, {"label", channel->label}});
        }
    }
}

void writeChannelFamilies(ExpositionWriter& writer, const SensorStats& sensors) {
    const auto channels = distinctChannels(sensors.channels);
    const struct {
        std::string_view name;
        MetricKind type;
        SensorChannelKind kind;
        ChannelFigure figure;
        std::string_view help;
    } families[] = {
        {"vantrel_sensor_temperature_celsius", MetricKind::gauge, SensorChannelKind::temperature,
         &SensorChannelReading::value, "Every temperature sensor of the machine."},
        {"vantrel_sensor_temperature_max_celsius", MetricKind::gauge,
         SensorChannelKind::temperature, &SensorChannelReading::maximum,
         "The high limit the driver gives a temperature sensor."},
        {"vantrel_sensor_temperature_critical_celsius", MetricKind::gauge,
         SensorChannelKind::temperature, &SensorChannelReading::critical,
         "The critical limit the driver gives a temperature sensor."},
        {"vantrel_sensor_fan_speed_rpm", MetricKind::gauge, SensorChannelKind::fan,
         &SensorChannelReading::value, "Every fan of the machine, in revolutions per minute."},
        {"vantrel_sensor_voltage_volts", MetricKind::gauge, SensorChannelKind::voltage,
         &SensorChannelReading::value, "Every voltage sensor of the machine."},
        {"vantrel_sensor_current_amperes", MetricKind::gauge, SensorChannelKind::current,
         &SensorChannelReading::value, "Every current sensor of the machine."},
        {"vantrel_sensor_power_watts", MetricKind::gauge, SensorChannelKind::power,
         &SensorChannelReading::value, "Every power sensor of the machine."},
        {"vantrel_sensor_energy_joules_total", MetricKind::counter, SensorChannelKind::energy,
         &SensorChannelReading::value, "Every energy meter of the machine."},
    };
    for (const auto& family : families) {
        writer.beginFamily(family.name, family.type, family.help);
        writeChannels(writer, channels, family.kind, family.figure);
    }
}

}  // namespace

// Without the helper nothing here was measured: the record holds no reading, not zeros.
void writeSensorFamilies(ExpositionWriter& writer, const MetricsSnapshot& snapshot) {
    if (!snapshot.helperAvailable) {
        return;
    }
    writeNamedTemperatures(writer, snapshot.sensors);
    writeNamedPowers(writer, snapshot.sensors);
    writeFans(writer, snapshot.sensors);
    writeChannelFamilies(writer, snapshot.sensors);
}
