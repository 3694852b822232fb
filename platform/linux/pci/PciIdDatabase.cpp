#include "platform/linux/pci/PciIdDatabase.h"

#include "linux_io/CounterText.h"
#include "linux_io/SysfsText.h"

#include <charconv>

namespace {

std::optional<std::uint16_t> parseHex4(std::string_view text) {
    if (text.size() != 4) {
        return std::nullopt;
    }
    std::uint16_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + 4, value, 16);
    if (error != std::errc{} || end != text.data() + 4) {
        return std::nullopt;
    }
    return value;
}

// "XXXX  Name": four hex digits, blanks, a name. Absent for anything else.
std::optional<std::pair<std::uint16_t, std::string_view>> idAndName(std::string_view line) {
    const auto id = parseHex4(line.substr(0, 4));
    if (!id || line.size() < 6 || line[4] != ' ') {
        return std::nullopt;
    }
    const std::string_view name = trimmed(line.substr(4));
    if (name.empty()) {
        return std::nullopt;
    }
    return std::pair{*id, name};
}

}  // namespace

PciIdDatabase::PciIdDatabase(std::vector<std::filesystem::path> candidates)
    : candidates_(std::move(candidates)) {}

std::vector<std::filesystem::path> PciIdDatabase::standardLocations(
    const std::filesystem::path& root) {
    return {root / "usr/share/hwdata/pci.ids", root / "usr/share/misc/pci.ids"};
}

std::optional<QString> PciIdDatabase::modelName(std::uint16_t vendor, std::uint16_t device) {
    if (!loaded_) {
        load();
    }
    const auto found = names_.constFind(std::uint32_t{vendor} << 16 | device);
    if (found == names_.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

void PciIdDatabase::load() {
    loaded_ = true;
    std::optional<std::string> text;
    for (const auto& candidate : candidates_) {
        if ((text = readTextFile(candidate))) {
            break;
        }
    }
    if (!text) {
        return;
    }
    // Vendors start a line, their devices follow indented by one tab; subsystems (two tabs)
    // and the device-class list at the end ("C 03  Display controller") are not names of
    // devices.
    std::optional<std::uint16_t> vendor;
    forEachCompleteLine(*text + '\n', [&](std::string_view line) {
        if (line.empty() || line.front() == '#') {
            return true;
        }
        if (line.starts_with("C ")) {
            return false;
        }
        if (line.front() != '\t') {
            const auto entry = idAndName(line);
            vendor = entry ? std::optional(entry->first) : std::nullopt;
            return true;
        }
        if (line.size() < 2 || line[1] == '\t' || !vendor) {
            return true;
        }
        if (const auto entry = idAndName(line.substr(1))) {
            const QString name = QString::fromUtf8(entry->second.data(),
                                                   static_cast<qsizetype>(entry->second.size()));
            names_.insert(std::uint32_t{*vendor} << 16 | entry->first, name);
        }
        return true;
    });
}

std::optional<std::uint16_t> parsePciId(std::string_view text) {
    text = trimmed(text);
    if (!text.starts_with("0x") && !text.starts_with("0X")) {
        return std::nullopt;
    }
    return parseHex4(text.substr(2));
}
