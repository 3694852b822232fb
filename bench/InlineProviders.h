#pragma once

#include "core/Clock.h"
#include "platform/linux/LinuxProviders.h"
#include "platform/linux/LinuxThermalStateReader.h"

#include <benchmark/benchmark.h>

// The samplers a poll runs in line on the main thread, on this machine's readers.
struct InlineProviders {
    SystemClock clock;
    std::unique_ptr<CPUProvider> cpu = makeLinuxCPUProvider(clock);
    std::unique_ptr<RAMProvider> ram = makeLinuxRAMProvider(clock);
    std::unique_ptr<NetworkProvider> network = makeLinuxNetworkProvider(clock);
    std::unique_ptr<BatteryProvider> battery = makeLinuxBatteryProvider();
    std::unique_ptr<DiskProvider> disk = makeLinuxDiskProvider(clock);
    std::unique_ptr<GPUProvider> gpu = makeLinuxGPUProvider(clock);
    std::unique_ptr<ThermalStateReader> thermal = makeLinuxThermalStateReader(clock);

    void sampleAll() {
        benchmark::DoNotOptimize(cpu->sample());
        benchmark::DoNotOptimize(ram->sample());
        benchmark::DoNotOptimize(network->sample());
        benchmark::DoNotOptimize(battery->sample());
        benchmark::DoNotOptimize(disk->sample());
        benchmark::DoNotOptimize(gpu->sample());
        benchmark::DoNotOptimize(thermal->read());
    }
};
