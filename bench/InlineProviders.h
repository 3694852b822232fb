#pragma once

#include "core/Clock.h"
#include "linux_monitor/LinuxProviders.h"
#include "linux_monitor/LinuxThermalStateReader.h"

#include <benchmark/benchmark.h>

// The samplers a poll runs in line on the main thread, on this machine's readers.
struct InlineProviders {
    SystemClock clock;
    std::unique_ptr<CpuProvider> cpu = makeLinuxCpuProvider(clock);
    std::unique_ptr<RamProvider> ram = makeLinuxRamProvider(clock);
    std::unique_ptr<NetworkProvider> network = makeLinuxNetworkProvider(clock);
    std::unique_ptr<BatteryProvider> battery = makeLinuxBatteryProvider();
    std::unique_ptr<DiskProvider> disk = makeLinuxDiskProvider(clock);
    std::unique_ptr<GpuProvider> gpu = makeLinuxGpuProvider(clock);
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
