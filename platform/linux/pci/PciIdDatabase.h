#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

// Model names from the PCI ID database (the hwdata package's pci.ids). The file is large and
// rarely needed, so it is read only at the first lookup, and only once: the first of the
// candidate files that can be read is taken, and a database that is missing stays missing.
class PciIdDatabase {
public:
    explicit PciIdDatabase(std::vector<std::filesystem::path> candidates);

    // The installed database's usual places under `root`.
    static std::vector<std::filesystem::path> standardLocations(const std::filesystem::path& root);

    // The device's name as the database gives it ("Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]").
    std::optional<QString> modelName(std::uint16_t vendor, std::uint16_t device);

private:
    void load();

    std::vector<std::filesystem::path> candidates_;
    bool loaded_ = false;
    QHash<std::uint32_t, QString> names_;  // vendor << 16 | device
};

// A sysfs vendor or device file's content ("0x1002\n") as a 16-bit identifier.
std::optional<std::uint16_t> parsePciId(std::string_view text);
