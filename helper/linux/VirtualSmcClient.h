#pragma once

#include "helper/SmcUserClient.h"
#include "helper/linux/EnergyPowerMeter.h"
#include "helper/linux/LinuxSmcSystem.h"
#include "hardware/NvidiaPciDevices.h"
#include "hardware/NvmlLibrary.h"
#include "helper/linux/VirtualSmcKeyMap.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// Whether a figure can be a real reading of its kind; anything else (a read of -274 °C or
// 300 °C, a negative power, a non-number) is treated as no value.
bool isPlausibleReading(SensorQuantity quantity, double value);

// An SMC made of Linux sensors: answers the keys of the virtual SMC key map with type "flt "
// (a little-endian float). Which sensors exist is found once, at creation; a request reads
// only the files its key needs. Requests are serialised: the power meters keep state.
class VirtualSmcClient final : public SmcUserClient {
public:
    explicit VirtualSmcClient(const LinuxSmcSystem& system);
    ~VirtualSmcClient() override;

    // At least one key has a sensor behind it.
    bool hasAnySource() const { return !keys_.empty(); }

    int callStructMethod(std::uint32_t selector, const SmcBlockBytes& input,
                         SmcBlockBytes& output) override;

private:
    using Reading = std::function<std::optional<double>()>;
    struct Key {
        std::uint32_t code;
        SensorQuantity quantity;
        std::vector<Reading> readings;
    };

    struct Discovery;
    std::optional<Reading> resolve(const SensorSource& source, const Discovery& found);
    std::optional<Reading> meterReading(std::function<std::optional<std::uint64_t>()> counter,
                                        std::uint64_t rangeMicrojoules);
    std::optional<double> readKey(const Key& key) const;

    LinuxSmcSystem system_;
    std::unique_ptr<NvmlLibrary> nvml_;
    std::optional<NvidiaPciDevices> nvidiaDevices_;
    std::vector<std::unique_ptr<EnergyPowerMeter>> meters_;
    std::vector<Key> keys_;
    std::mutex mutex_;
};
