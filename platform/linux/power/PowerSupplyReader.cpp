#include "platform/linux/power/PowerSupplyReader.h"

#include "hardware/SystemBattery.h"
#include "linux_io/SysfsText.h"
#include "platform/linux/power/PowerSupplyCombiner.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>

namespace {

// Texts longer than any the kernel writes are cut here.
constexpr std::size_t kLongestText = 64;

enum class Kind { present, status, health, number };

struct BatteryFile {
    std::string_view name;
    Kind kind;
    std::optional<std::int64_t> BatteryAttributes::*number = nullptr;
};

// `present` comes first, so an empty slot is skipped before anything else is read.
constexpr std::array kBatteryFiles = {
    BatteryFile{"present", Kind::present},
    BatteryFile{"status", Kind::status},
    BatteryFile{"health", Kind::health},
    BatteryFile{"capacity", Kind::number, &BatteryAttributes::capacityPercent},
    BatteryFile{"energy_now", Kind::number, &BatteryAttributes::energyNow},
    BatteryFile{"energy_full", Kind::number, &BatteryAttributes::energyFull},
    BatteryFile{"energy_full_design", Kind::number, &BatteryAttributes::energyFullDesign},
    BatteryFile{"charge_now", Kind::number, &BatteryAttributes::chargeNow},
    BatteryFile{"charge_full", Kind::number, &BatteryAttributes::chargeFull},
    BatteryFile{"charge_full_design", Kind::number, &BatteryAttributes::chargeFullDesign},
    BatteryFile{"voltage_now", Kind::number, &BatteryAttributes::voltageNow},
    BatteryFile{"voltage_min_design", Kind::number, &BatteryAttributes::voltageMinDesign},
    BatteryFile{"current_now", Kind::number, &BatteryAttributes::currentNow},
    BatteryFile{"power_now", Kind::number, &BatteryAttributes::powerNow},
    BatteryFile{"cycle_count", Kind::number, &BatteryAttributes::cycleCount},
    BatteryFile{"time_to_empty_now", Kind::number, &BatteryAttributes::timeToEmptySeconds},
    BatteryFile{"time_to_full_now", Kind::number, &BatteryAttributes::timeToFullSeconds},
};

constexpr std::string_view kOnlineFile = "online";

// A one-line kernel text, kept to printable ASCII so a broken driver cannot put control
// characters or invalid UTF-8 into the texts shown.
std::string cleanText(std::string_view text) {
    text = trimmed(text);
    std::string clean;
    for (const char character : text.substr(0, kLongestText)) {
        clean.push_back(character >= 0x20 && character < 0x7f ? character : '?');
    }
    return clean;
}

PowerSupplyReader::Role roleOf(const std::filesystem::path& supply) {
    const std::string type = cleanText(readTextFile(supply / "type").value_or(std::string{}));
    const std::string scope = cleanText(readTextFile(supply / "scope").value_or(std::string{}));
    if (isSystemBattery(type, scope)) {
        return PowerSupplyReader::Role::battery;
    }
    // Older kernels name the kind of USB port in the type: "USB_C", "USB_PD", "USB_DCP"...
    if (powersTheSystem(scope) && (type == "Mains" || type.starts_with("USB"))) {
        return PowerSupplyReader::Role::externalPower;
    }
    return PowerSupplyReader::Role::ignored;
}

bool fileExists(const std::filesystem::path& file) {
    return ::access(file.c_str(), F_OK) == 0;
}

PowerSupplyReader::Supply discover(const std::filesystem::path& directory, std::string name,
                                   ino_t inode) {
    const std::filesystem::path path = directory / name;
    PowerSupplyReader::Supply supply{std::move(name), inode, roleOf(path), {}};
    if (supply.role == PowerSupplyReader::Role::battery) {
        for (std::size_t index = 0; index < kBatteryFiles.size(); ++index) {
            const auto file = path / kBatteryFiles[index].name;
            if (fileExists(file)) {
                supply.attributes.push_back({static_cast<int>(index), KeptOpenFile(file)});
            }
        }
    } else if (supply.role == PowerSupplyReader::Role::externalPower) {
        supply.attributes.push_back({0, KeptOpenFile(path / kOnlineFile)});
    }
    return supply;
}

struct DirectoryEntry {
    std::string name;
    ino_t inode = 0;
};

std::vector<DirectoryEntry> listSupplies(const std::filesystem::path& directory) {
    std::vector<DirectoryEntry> entries;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(directory.c_str()), ::closedir);
    if (!dir) {
        return entries;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            entries.push_back({std::string(name), entry->d_ino});
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& left, const auto& right) { return left.name < right.name; });
    return entries;
}

// Absent for an empty slot.
std::optional<BatteryAttributes> readBattery(PowerSupplyReader::Supply& supply) {
    BatteryAttributes battery;
    for (PowerSupplyReader::Attribute& attribute : supply.attributes) {
        const BatteryFile& file = kBatteryFiles[static_cast<std::size_t>(attribute.index)];
        const auto text = attribute.file.read();
        if (!text) {
            continue;
        }
        switch (file.kind) {
            case Kind::present:
                if (isEmptySlot(*text)) {
                    return std::nullopt;
                }
                break;
            case Kind::status:
                battery.status = cleanText(*text);
                break;
            case Kind::health:
                battery.health = cleanText(*text);
                break;
            case Kind::number:
                battery.*file.number = parseInteger(*text);
                break;
        }
    }
    return battery;
}

bool isOnline(PowerSupplyReader::Supply& supply) {
    for (PowerSupplyReader::Attribute& attribute : supply.attributes) {
        const auto text = attribute.file.read();
        const auto online = text ? parseInteger(*text) : std::nullopt;
        // 1: online at a fixed voltage, 2: online and programmable.
        if (online && *online >= 1) {
            return true;
        }
    }
    return false;
}

}  // namespace

PowerSupplyReader::PowerSupplyReader(const std::filesystem::path& root)
    : directory_(root / "sys/class/power_supply") {}

PowerSupplyAttributes PowerSupplyReader::readAttributes() {
    std::vector<Supply> current;
    for (DirectoryEntry& entry : listSupplies(directory_)) {
        const auto known =
            std::find_if(supplies_.begin(), supplies_.end(), [&entry](const Supply& supply) {
                return supply.name == entry.name && supply.inode == entry.inode;
            });
        if (known != supplies_.end()) {
            current.push_back(std::move(*known));
        } else {
            current.push_back(discover(directory_, std::move(entry.name), entry.inode));
        }
    }
    supplies_ = std::move(current);

    PowerSupplyAttributes attributes;
    for (Supply& supply : supplies_) {
        if (supply.role == Role::battery) {
            if (auto battery = readBattery(supply)) {
                attributes.batteries.push_back(std::move(*battery));
            }
        } else if (supply.role == Role::externalPower) {
            attributes.externalSupplyListed = true;
            attributes.externalSupplyOnline = isOnline(supply) || attributes.externalSupplyOnline;
        }
    }
    return attributes;
}

PowerSupplyReading PowerSupplyReader::read() {
    return describePowerSupplies(readAttributes());
}
