#include "hardware/HwmonInventory.h"

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
        chip.directory = classDirectory / ("hwmon" + std::to_string(number));
        chip.name = readSysfsWord(chip.directory / "name");
        if (chip.name.empty()) {
            continue;
        }
        const auto runtimeStatus = chip.directory / "device/power/runtime_status";
        std::error_code error;
        if (std::filesystem::exists(runtimeStatus, error)) {
            chip.runtimeStatus = runtimeStatus;
        }
        chip.files = fileNames(chip.directory);
        chips_.push_back(std::move(chip));
    }
}

std::optional<HwmonAttribute> HwmonInventory::labelled(std::string_view chip, std::string_view kind,
                                                       std::string_view label) const {
    for (const Chip& candidate : chips_) {
        if (!chipNameMatches(chip, candidate.name)) {
            continue;
        }
        for (const int number : numbered(candidate.files, kind, "_label")) {
            const auto input = sensorFile(kind, number, "_input");
            if (candidate.files.contains(input) &&
                readSysfsWord(candidate.directory / sensorFile(kind, number, "_label")) == label) {
                return HwmonAttribute{candidate.directory / input, candidate.runtimeStatus};
            }
        }
    }
    return std::nullopt;
}

std::optional<HwmonAttribute> HwmonInventory::attribute(std::string_view chip,
                                                        std::string_view fileName) const {
    for (const Chip& candidate : chips_) {
        if (chipNameMatches(chip, candidate.name) &&
            candidate.files.contains(std::string(fileName))) {
            return HwmonAttribute{candidate.directory / fileName, candidate.runtimeStatus};
        }
    }
    return std::nullopt;
}

std::vector<HwmonAttribute> HwmonInventory::fans(std::span<const std::string_view> chips) const {
    std::vector<HwmonAttribute> found;
    for (const Chip& candidate : chips_) {
        const bool isFanChip = std::any_of(chips.begin(), chips.end(), [&](std::string_view p) {
            return chipNameMatches(p, candidate.name);
        });
        if (!isFanChip) {
            continue;
        }
        for (const int number : numbered(candidate.files, "fan", "_input")) {
            found.push_back({candidate.directory / sensorFile("fan", number, "_input"),
                             candidate.runtimeStatus});
        }
    }
    return found;
}
