#include "hardware/HwmonInventory.h"

#include "hardware/SensorNaming.h"
#include "linux_io/SysfsText.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace {

// The number between a fixed prefix and suffix: 3 for ("temp3_input", "temp", "_input");
// absent for any other shape.
std::optional<int> sensorNumber(std::string_view fileName, std::string_view prefix,
                                std::string_view suffix) {
    if (!fileName.starts_with(prefix) || !fileName.ends_with(suffix) ||
        fileName.size() <= prefix.size() + suffix.size()) {
        return std::nullopt;
    }
    const auto digits =
        fileName.substr(prefix.size(), fileName.size() - prefix.size() - suffix.size());
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size() || number < 0) {
        return std::nullopt;
    }
    return number;
}

std::set<std::string> fileNames(const std::filesystem::path& directory) {
    std::set<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(directory, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        names.insert(it->path().filename().string());
    }
    return names;
}

// The numbers N of the files `<prefix>N<suffix>`, ascending.
std::vector<int> numbered(const std::set<std::string>& files, std::string_view prefix,
                          std::string_view suffix) {
    std::vector<int> numbers;
    for (const std::string& file : files) {
        if (const auto number = sensorNumber(file, prefix, suffix)) {
            numbers.push_back(*number);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::string sensorFile(std::string_view kind, int number, std::string_view suffix) {
    return std::string(kind) + std::to_string(number) + std::string(suffix);
}

constexpr SensorKind kListedKinds[] = {SensorKind::temperature, SensorKind::fan,
                                       SensorKind::voltage,     SensorKind::current,
                                       SensorKind::power,       SensorKind::energy};

// The chip's device path with every link followed, empty when the chip has no device.
std::string resolvedDevice(const std::filesystem::path& directory) {
    const auto device = directory / "device";
    std::error_code error;
    if (std::filesystem::symlink_status(device, error).type() ==
        std::filesystem::file_type::not_found) {
        return {};
    }
    const auto resolved = std::filesystem::weakly_canonical(device, error);
    return error ? std::string() : resolved.string();
}

std::vector<HwmonChannel> channelsOf(const std::filesystem::path& directory,
                                     const std::set<std::string>& files) {
    std::vector<HwmonChannel> channels;
    for (const SensorKind kind : kListedKinds) {
        const std::string_view prefix = channelPrefix(kind);
        std::set<int> numbers;
        for (const int number : numbered(files, prefix, "_input")) {
            numbers.insert(number);
        }
        if (kind == SensorKind::power) {
            for (const int number : numbered(files, prefix, "_average")) {
                numbers.insert(number);
            }
        }
        for (const int number : numbers) {
            HwmonChannel channel;
            channel.kind = kind;
            channel.number = number;
            channel.sensor = sensorFile(prefix, number, "");
            const auto existing = [&](std::string_view suffix) {
                const auto file = channel.sensor + std::string(suffix);
                return files.contains(file) ? std::optional(directory / file) : std::nullopt;
            };
            channel.input = existing("_input").value_or(directory / (channel.sensor + "_average"));
            channel.minimum = existing("_min");
            channel.maximum = existing("_max");
            channel.critical = existing("_crit");
            if (const auto labelFile = existing("_label")) {
                channel.label = boundedLabel(readSysfsFile(*labelFile, 256).value_or(""));
            }
            channels.push_back(std::move(channel));
        }
    }
    return channels;
}

}  // namespace

bool chipNameMatches(std::string_view pattern, std::string_view name) {
    if (pattern.ends_with('*')) {
        return name.starts_with(pattern.substr(0, pattern.size() - 1));
    }
    return name == pattern;
}

bool isSuspended(const HwmonAttribute& attribute) {
    return attribute.runtimeStatus && readSysfsWord(*attribute.runtimeStatus) == "suspended";
}

HwmonInventory::HwmonInventory(const std::filesystem::path& root) {
    const auto classDirectory = root / "sys/class/hwmon";
    for (const int number : numbered(fileNames(classDirectory), "hwmon", "")) {
        Chip chip;
        HwmonChip& listed = chip.listed;
        const std::string directoryName = "hwmon" + std::to_string(number);
        listed.directory = classDirectory / directoryName;
        listed.name = boundedLabel(readSysfsWord(listed.directory / "name"));
        if (listed.name.empty()) {
            continue;
        }
        const auto runtimeStatus = listed.directory / "device/power/runtime_status";
        std::error_code error;
        if (std::filesystem::exists(runtimeStatus, error)) {
            listed.runtimeStatus = runtimeStatus;
        }
        chip.files = fileNames(listed.directory);
        listed.identity =
            chipIdentity(resolvedDevice(listed.directory), listed.name, directoryName);
        listed.channels = channelsOf(listed.directory, chip.files);
        chips_.push_back(std::move(chip));
    }
}

std::vector<HwmonChip> HwmonInventory::chips() const {
    std::vector<HwmonChip> listed;
    listed.reserve(chips_.size());
    for (const Chip& chip : chips_) {
        listed.push_back(chip.listed);
    }
    std::stable_sort(listed.begin(), listed.end(), [](const HwmonChip& a, const HwmonChip& b) {
        return a.identity < b.identity;
    });
    return listed;
}

std::optional<HwmonAttribute> HwmonInventory::labelled(std::string_view chip, std::string_view kind,
                                                       std::string_view label) const {
    for (const Chip& candidate : chips_) {
        if (!chipNameMatches(chip, candidate.listed.name)) {
            continue;
        }
        for (const int number : numbered(candidate.files, kind, "_label")) {
            const auto input = sensorFile(kind, number, "_input");
            if (candidate.files.contains(input) &&
                readSysfsWord(candidate.listed.directory / sensorFile(kind, number, "_label")) ==
                    label) {
                return HwmonAttribute{candidate.listed.directory / input,
                                      candidate.listed.runtimeStatus};
            }
        }
    }
    return std::nullopt;
}

std::optional<HwmonAttribute> HwmonInventory::attribute(std::string_view chip,
                                                        std::string_view fileName) const {
    for (const Chip& candidate : chips_) {
        if (chipNameMatches(chip, candidate.listed.name) &&
            candidate.files.contains(std::string(fileName))) {
            return HwmonAttribute{candidate.listed.directory / fileName,
                                  candidate.listed.runtimeStatus};
        }
    }
    return std::nullopt;
}

std::vector<HwmonAttribute> HwmonInventory::fans(std::span<const std::string_view> chips) const {
    std::vector<HwmonAttribute> found;
    for (const Chip& candidate : chips_) {
        const bool isFanChip = std::any_of(chips.begin(), chips.end(), [&](std::string_view p) {
            return chipNameMatches(p, candidate.listed.name);
        });
        if (!isFanChip) {
            continue;
        }
        for (const int number : numbered(candidate.files, "fan", "_input")) {
            found.push_back({candidate.listed.directory / sensorFile("fan", number, "_input"),
                             candidate.listed.runtimeStatus});
        }
    }
    return found;
}
