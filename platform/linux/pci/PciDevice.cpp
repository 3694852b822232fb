#include "platform/linux/pci/PciDevice.h"

#include "linux_io/SysfsText.h"

#include <system_error>

namespace {

std::optional<std::uint16_t> readPciId(const std::filesystem::path& file) {
    const auto text = readTextFile(file);
    return text ? parsePciId(*text) : std::nullopt;
}

}  // namespace

std::string linkBasename(const std::filesystem::path& link) {
    std::error_code error;
    const auto target = std::filesystem::read_symlink(link, error);
    return error ? std::string() : target.filename().string();
}

std::string boundDriverName(const std::filesystem::path& deviceDirectory) {
    return linkBasename(deviceDirectory / "driver");
}

std::optional<QString> pciDeviceName(const std::filesystem::path& deviceDirectory,
                                     PciIdDatabase& names) {
    const auto vendor = readPciId(deviceDirectory / "vendor");
    const auto device = readPciId(deviceDirectory / "device");
    if (vendor && device) {
        if (auto model = names.modelName(*vendor, *device)) {
            return model;
        }
    }
    const std::string driver = boundDriverName(deviceDirectory);
    if (driver.empty()) {
        return std::nullopt;
    }
    return QString::fromStdString(driver);
}

bool drivesDisplay(const std::filesystem::path& deviceDirectory) {
    return readSysfsWord(deviceDirectory / "boot_vga") == "1";
}
