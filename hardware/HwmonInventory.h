#pragma once

#include "shared/SensorReading.h"

#include <filesystem>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One attribute file of a hardware-monitor chip, with the chip's runtime power state when
// its device has one (a suspended device is not read, so it is not woken up).
struct HwmonAttribute {
    std::filesystem::path file;
    std::optional<std::filesystem::path> runtimeStatus;
};

// One channel of a chip: a `<prefix>N_input` file (for power, `powerN_average` when the chip
// has no `powerN_input`) and the limit files beside it, whichever exist.
struct HwmonChannel {
    SensorKind kind = SensorKind::temperature;
    int number = 0;
    std::string sensor;  // "temp1", "fan2", "in0"
    std::string label;   // `<sensor>_label`, bounded; empty when the driver gives none
    std::filesystem::path input;
    std::optional<std::filesystem::path> minimum;
    std::optional<std::filesystem::path> maximum;
    std::optional<std::filesystem::path> critical;
};

// A chip as listed: its lasting identity (see chipIdentity), its driver's name, its folder,
// its device's runtime status file when it has one, and its channels by kind, then number.
struct HwmonChip {
    std::string identity;
    std::string name;
    std::filesystem::path directory;
    std::optional<std::filesystem::path> runtimeStatus;
    std::vector<HwmonChannel> channels;
};

// The chips under <root>/sys/class/hwmon, found once. Chips are known by their `name` and
// sensors by their label, never by the hwmon or sensor number the kernel happened to give.
class HwmonInventory {
public:
    explicit HwmonInventory(const std::filesystem::path& root);

    // `<kind>N_input` of the first sensor labelled `label` on a chip matching `chip`
    // ("nct6*" matches by prefix). `kind` is "temp", "fan", "power" and so on.
    std::optional<HwmonAttribute> labelled(std::string_view chip, std::string_view kind,
                                           std::string_view label) const;
    // A named attribute file, e.g. "power1_average", of the first matching chip having it.
    std::optional<HwmonAttribute> attribute(std::string_view chip, std::string_view fileName) const;
    // Every `fanN_input` of the matching chips, chip by chip and by fan number.
    std::vector<HwmonAttribute> fans(std::span<const std::string_view> chips) const;

    // Every chip with its channels, by identity (byte order); chips with the same identity
    // keep the kernel's order.
    std::vector<HwmonChip> chips() const;

private:
    struct Chip {
        HwmonChip listed;
        std::set<std::string> files;
    };
    std::vector<Chip> chips_;  // by hwmon number
};

// Whether a chip name matches a pattern: exact, or by prefix when the pattern ends in '*'.
bool chipNameMatches(std::string_view pattern, std::string_view name);

// A chip's device is runtime-suspended (absent status file: awake).
bool isSuspended(const HwmonAttribute& attribute);
