#include "hardware/SystemBattery.h"

#include "linux_io/SysfsText.h"

#include <algorithm>
#include <vector>

bool powersTheSystem(std::string_view scope) {
    return trimmed(scope) != "Device";
}

bool isSystemBattery(std::string_view type, std::string_view scope) {
    return trimmed(type) == "Battery" && powersTheSystem(scope);
}

bool isEmptySlot(std::string_view present) {
    return parseInteger(present) == 0;
}

std::optional<std::filesystem::path> findSystemBattery(const std::filesystem::path& root) {
    std::vector<std::filesystem::path> supplies;
    std::error_code error;
    std::filesystem::directory_iterator it(root / "sys/class/power_supply", error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        supplies.push_back(it->path());
    }
    std::sort(supplies.begin(), supplies.end());
    for (const auto& supply : supplies) {
        const auto present = readSysfsFile(supply / "present");
        if (isSystemBattery(readSysfsWord(supply / "type"), readSysfsWord(supply / "scope")) &&
            !(present && isEmptySlot(*present))) {
            return supply;
        }
    }
    return std::nullopt;
}
