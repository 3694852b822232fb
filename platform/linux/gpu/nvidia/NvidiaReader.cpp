#include "platform/linux/gpu/nvidia/NvidiaReader.h"

#include "linux_io/KeptOpenFile.h"
#include "platform/linux/gpu/nvidia/NvmlSession.h"
#include "platform/linux/pci/PciDevice.h"
#include "platform/linux/pci/RuntimePowerStatus.h"

#include <algorithm>
#include <system_error>

namespace {

// A PCI address as the driver's directory lists its devices: "0000:01:00.0".
bool isPciAddress(const std::string& name) {
    return name.size() == 12 && name[4] == ':' && name[7] == ':' && name[10] == '.';
}

}  // namespace

// What the worker thread owns: the devices' power-state files and the library session.
class NvidiaReader::Library {
public:
    struct Device {
        std::string address;
        KeptOpenFile runtimeStatus;
    };

    Library(std::string libraryPath, std::vector<Device> devices)
        : libraryPath_(std::move(libraryPath)), devices_(std::move(devices)) {}

    Lookup look() {
        Lookup readings(devices_.size());
        bool anySuspended = false;
        for (std::size_t index = 0; index < devices_.size(); ++index) {
            const auto status = devices_[index].runtimeStatus.read();
            if (status && isRuntimeSuspended(*status)) {
                anySuspended = true;
                readings[index] = AcceleratorReading{std::nullopt, 0.0, std::nullopt, std::nullopt};
            }
        }
        if (anySuspended) {
            // An open session could keep the GPU from staying asleep.
            session_.reset();
            return readings;
        }
        if (!session_ && !libraryUnusable_) {
            session_ = NvmlSession::open(libraryPath_);
            libraryUnusable_ = !session_;
        }
        if (session_) {
            for (std::size_t index = 0; index < devices_.size(); ++index) {
                readings[index] = session_->readDevice(devices_[index].address);
            }
        }
        return readings;
    }

private:
    std::string libraryPath_;
    std::vector<Device> devices_;
    std::unique_ptr<NvmlSession> session_;
    bool libraryUnusable_ = false;
};

NvidiaReader::NvidiaReader(const std::filesystem::path& root, std::string libraryPath)
    : root_(root), libraryPath_(std::move(libraryPath)) {}

NvidiaReader::~NvidiaReader() = default;

void NvidiaReader::discover(PciIdDatabase& names) {
    std::vector<std::filesystem::path> paths;
    std::error_code error;
    std::filesystem::directory_iterator it(root_ / "sys/bus/pci/drivers/nvidia", error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (isPciAddress(it->path().filename().string())) {
            paths.push_back(it->path());
        }
    }
    std::sort(paths.begin(), paths.end());
    boundDevices_.clear();
    std::vector<Library::Device> devices;
    for (const auto& path : paths) {
        boundDevices_.push_back(
            {pciDeviceName(path, names).value_or(QStringLiteral("nvidia")), drivesDisplay(path)});
        devices.push_back(
            {path.filename().string(), KeptOpenFile(runtimeStatusFile(path).string())});
    }
    worker_.reset();
    if (!devices.empty()) {
        worker_ = std::make_unique<LatestResultWorker<Library, Lookup>>(
            std::make_unique<Library>(libraryPath_, std::move(devices)));
    }
}

std::vector<AcceleratorReading> NvidiaReader::read() {
    if (!worker_) {
        return {};
    }
    const std::optional<Lookup> latest = worker_->latest();
    worker_->startIfIdle([](Library& library) { return library.look(); });
    std::vector<AcceleratorReading> readings;
    readings.reserve(boundDevices_.size());
    for (std::size_t index = 0; index < boundDevices_.size(); ++index) {
        AcceleratorReading reading;
        if (latest && index < latest->size() && (*latest)[index]) {
            reading = *(*latest)[index];
        }
        if (!reading.name) {
            reading.name = boundDevices_[index].name;
        }
        reading.drivesDisplay = boundDevices_[index].drivesDisplay;
        readings.push_back(std::move(reading));
    }
    return readings;
}

void NvidiaReader::waitUntilIdle() {
    if (worker_) {
        worker_->waitUntilIdle();
    }
}
