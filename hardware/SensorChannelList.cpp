#include "hardware/SensorChannelList.h"

#include "hardware/SensorNaming.h"
#include "linux_io/SysfsText.h"

#include <string>
#include <utility>

namespace {

std::optional<double> limitValue(SensorKind kind,
                                 const std::optional<std::filesystem::path>& file) {
    if (!file) {
        return std::nullopt;
    }
    const auto text = readSysfsFile(*file, 64);
    return text ? scaledValue(kind, *text) : std::nullopt;
}

}  // namespace

SensorChannelList::SensorChannelList(const std::filesystem::path& root)
    : SensorChannelList(HwmonInventory(root), ThermalZones(root)) {}

SensorChannelList::SensorChannelList(const HwmonInventory& inventory, const ThermalZones& zones) {
    const auto isFull = [this] { return listed_.size() >= kMostChannels; };
    for (const HwmonChip& chip : inventory.chips()) {
        Group group;
        group.first = listed_.size();
        if (chip.runtimeStatus) {
            group.runtimeStatus.emplace(chip.runtimeStatus->string());
        }
        for (const HwmonChannel& channel : chip.channels) {
            if (isFull()) {
                break;
            }
            SensorChannel listed;
            listed.chip = chip.identity;
            listed.sensor = channel.sensor;
            listed.chipName = chip.name;
            listed.label = channel.label;
            listed.kind = channel.kind;
            listed_.push_back(std::move(listed));
            inputs_.emplace_back(channel.input.string());
            limits_.push_back({channel.minimum, channel.maximum, channel.critical});
        }
        group.count = listed_.size() - group.first;
        if (group.count > 0) {
            groups_.push_back(std::move(group));
        }
    }
    for (const ThermalZone& zone : zones.zones()) {
        if (isFull()) {
            break;
        }
        SensorChannel listed;
        listed.chip = "thermal_zone" + std::to_string(zone.number);
        listed.sensor = "temp";
        listed.chipName = zone.type;
        listed.kind = SensorKind::temperature;
        listed.critical = zone.criticalCelsius;
        groups_.push_back({listed_.size(), 1, std::nullopt, true});
        listed_.push_back(std::move(listed));
        inputs_.emplace_back(zone.temperature.string());
        limits_.emplace_back();
    }
}

bool SensorChannelList::isAwake(Group& group) {
    if (!group.runtimeStatus) {
        return true;
    }
    const auto status = group.runtimeStatus->read();
    return !status || trimmed(*status) != "suspended";
}

void SensorChannelList::readLimits(const Group& group) {
    for (std::size_t i = group.first; i < group.first + group.count; ++i) {
        SensorChannel& channel = listed_[i];
        channel.minimum = limitValue(channel.kind, limits_[i].minimum);
        channel.maximum = limitValue(channel.kind, limits_[i].maximum);
        channel.critical = limitValue(channel.kind, limits_[i].critical);
    }
}

std::vector<SensorChannel> SensorChannelList::read() {
    for (Group& group : groups_) {
        const bool awake = isAwake(group);
        if (awake && !group.limitsRead) {
            readLimits(group);
            group.limitsRead = true;
        }
        for (std::size_t i = group.first; i < group.first + group.count; ++i) {
            const auto text = awake ? inputs_[i].read() : std::nullopt;
            listed_[i].value = text ? scaledValue(listed_[i].kind, *text) : std::nullopt;
        }
    }
    return listed_;
}
