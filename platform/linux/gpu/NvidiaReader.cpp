#include "platform/linux/gpu/NvidiaReader.h"

#include "platform/linux/gpu/DrmCardReader.h"
#include "platform/linux/gpu/RuntimePowerStatus.h"

#include <algorithm>
#include <system_error>

namespace {

// A PCI address as the driver's directory lists its devices: "0000:01:00.0".
bool isPciAddress(const std::string& name) {
    return name.size() == 12 && name[4] == ':' && name[7] == ':' && name[10] == '.';
}

}  // namespace

NvidiaReader::NvidiaReader(const std::filesystem::path& root, std::string libraryPath)
    : root_(root), libraryPath_(std::move(libraryPath)) {}

void NvidiaReader::discover(PciIdDatabase& names) {
    boundDevices_.clear();
    std::vector<std::filesystem::path> devices;
    std::error_code error;
    std::filesystem::directory_iterator it(root_ / "sys/bus/pci/drivers/nvidia", error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (isPciAddress(it->path().filename().string())) {
            devices.push_back(it->path());
        }
    }
    std::sort(devices.begin(), devices.end());
    for (const auto& device : devices) {
        boundDevices_.push_back({pciDeviceName(device, names).value_or(QStringLiteral("nvidia")),
                                 KeptOpenFile(runtimeStatusFile(device).string())});
    }
}

std::vector<AcceleratorReading> NvidiaReader::read() {
    std::vector<AcceleratorReading> suspendedDevices;
    for (BoundDevice& device : boundDevices_) {
        const auto status = device.runtimeStatus.read();
        if (status && isRuntimeSuspended(*status)) {
            suspendedDevices.push_back({device.name, 0.0, std::nullopt, std::nullopt});
        }
    }
    if (!suspendedDevices.empty()) {
        // An open session could keep the GPU from staying asleep.
        session_.reset();
        return suspendedDevices;
    }
    if (!session_ && !libraryUnusable_) {
        session_ = NvmlSession::open(libraryPath_);
        libraryUnusable_ = !session_;
    }
    return session_ ? session_->readDevices() : std::vector<AcceleratorReading>{};
}
