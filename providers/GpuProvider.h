#pragma once

#include "core/ProviderInterfaces.h"
#include "core/SampleRecords.h"
#include "platform/GpuSource.h"

#include <QStringList>

#include <filesystem>
#include <memory>
#include <string>

class Clock;

// Turns the accelerators' property dictionaries into one GPU record. Different GPU families
// publish their figures under different names, so each figure is looked up under a list of
// keys, first match wins. Every field comes from one card, so a record never pairs one card's
// name with another's load: the card driving the display, else the first. Keeps no history.
class GpuProvider final : public GpuSampler {
public:
    explicit GpuProvider(std::unique_ptr<AcceleratorSource> source);

    GpuStats sample() override;

    // The record of one poll's accelerators, in order.
    GpuStats combine(const QList<QVariantMap>& accelerators) const;

    const QStringList utilizationKeys{AcceleratorKey::deviceUtilization,
                                      AcceleratorKey::gpuActivity,
                                      AcceleratorKey::rendererUtilization};
    const QStringList memUsedKeys{AcceleratorKey::inUseSystemMemory, AcceleratorKey::vramUsedDotted,
                                  AcceleratorKey::vramUsed};
    const QStringList memTotalKeys{AcceleratorKey::allocSystemMemory,
                                   AcceleratorKey::vramTotalDotted, AcceleratorKey::vramTotal};

private:
    std::unique_ptr<AcceleratorSource> source_;
};
