#include "platform/linux/gpu/DrmCardReader.h"

#include "linux_io/NumberedEntries.h"
#include "linux_io/SysfsText.h"
#include "platform/linux/pci/RuntimePowerStatus.h"

#include <system_error>

namespace {

bool suspended(KeptOpenFile& runtimeStatus) {
    const auto status = runtimeStatus.read();
    return status && isRuntimeSuspended(*status);
}

}  // namespace

DrmCardReader::DrmCardReader(const std::filesystem::path& root, const Clock& clock)
    : root_(root), clock_(clock) {}

void DrmCardReader::discover(PciIdDatabase& names) {
    cards_.clear();
    for (const NumberedEntry& entry : numberedEntries(root_ / "sys/class/drm", "card")) {
        const auto device = entry.path / "device";
        // Firmware framebuffers and virtual displays are not accelerators.
        if (linkBasename(device / "subsystem") != "pci") {
            continue;
        }
        const std::string driver = boundDriverName(device);
        if (driver == "nvidia") {
            continue;
        }
        Card card{pciDeviceName(device, names).value_or(QString()), drivesDisplay(device),
                  KeptOpenFile(runtimeStatusFile(device).string()), std::nullopt, std::nullopt};
        if (driver == "amdgpu") {
            card.amdgpu.emplace(device);
        } else if (driver == "i915") {
            card.rc6.emplace(entry.path, clock_);
        }
        cards_.push_back(std::move(card));
    }
}

std::vector<AcceleratorReading> DrmCardReader::read() {
    std::vector<AcceleratorReading> readings;
    readings.reserve(cards_.size());
    for (Card& card : cards_) {
        AcceleratorReading reading;
        if (suspended(card.runtimeStatus)) {
            reading.busyFraction = 0.0;
            if (card.rc6) {
                card.rc6->forget();
            }
        } else if (card.amdgpu) {
            reading = card.amdgpu->read();
        } else if (card.rc6) {
            reading.busyFraction = card.rc6->read();
        }
        if (!card.name.isEmpty()) {
            reading.name = card.name;
        }
        reading.drivesDisplay = card.drivesDisplay;
        readings.push_back(std::move(reading));
    }
    return readings;
}
