#pragma once

#include "hardware/HwmonInventory.h"
#include "hardware/ThermalZones.h"
#include "linux_io/KeptOpenFile.h"
#include "shared/SensorReading.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

// Every hwmon channel and thermal zone of the machine with its value now. The channels are
// found once; their input files stay open between reads, so a list of a hundred costs a
// hundred preads. A chip whose device is runtime-suspended is not read: its channels are
// listed without a value, so a sleeping GPU is not woken. A chip's limits are read once, the
// first time it is found awake, since drivers rarely change them.
class SensorChannelList {
public:
    // No more channels than this are listed: the rest of a machine's are left out.
    static constexpr std::size_t kMostChannels = 512;

    explicit SensorChannelList(const std::filesystem::path& root);
    SensorChannelList(const HwmonInventory& inventory, const ThermalZones& zones);

    std::vector<SensorChannel> read();
    // No channel was found.
    bool empty() const { return listed_.empty(); }

private:
    struct LimitFiles {
        std::optional<std::filesystem::path> minimum;
        std::optional<std::filesystem::path> maximum;
        std::optional<std::filesystem::path> critical;
    };
    // The channels of one chip (or one zone): listed_[first, first + count).
    struct Group {
        std::size_t first = 0;
        std::size_t count = 0;
        std::optional<KeptOpenFile> runtimeStatus;
        bool limitsRead = false;
    };

    bool isAwake(Group& group);
    void readLimits(const Group& group);

    std::vector<SensorChannel> listed_;
    std::vector<KeptOpenFile> inputs_;  // one per listed channel
    std::vector<LimitFiles> limits_;    // one per listed channel
    std::vector<Group> groups_;
};
