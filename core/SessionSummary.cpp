#include "core/SessionSummary.h"

#include "core/TextFormat.h"

#include <chrono>

namespace {

// A peak only moves up on a strictly greater value, so NaN and negatives never become peaks.
template <typename T>
void raise(T& peak, T value) {
    if (peak < value) {
        peak = value;
    }
}

}  // namespace

void SessionSummary::applyPoll(const CPUStats& cpu, const RAMStats& ram,
                               const NetworkStats& network, const GPUStats& gpu,
                               ThermalState thermal, double seconds) {
    ++pollCount;
    raise(peakCPU, cpu.overall);
    raise(peakRAMBytes, ram.usedBytes);
    raise(peakGPU, gpu.utilization);
    raise(peakDownload, network.downloadSpeed);
    raise(peakUpload, network.uploadSpeed);
    if (thermalStateValue(thermal) > thermalStateValue(worstThermal)) {
        worstThermal = thermal;
    }
    if (thermalStateValue(thermal) >= thermalStateValue(ThermalState::serious)) {
        throttleTime += seconds;
        throttleSeconds = static_cast<std::int64_t>(throttleTime);
    }
    totalDownloadBytes += network.downloadSpeed * seconds;
    totalUploadBytes += network.uploadSpeed * seconds;
}

void SessionSummary::applyTemperatures(const SensorStats& sensors) {
    if (sensors.cpuTempCelsius) {
        raise(peakCPUTemp, *sensors.cpuTempCelsius);
    }
    if (sensors.gpuTempCelsius) {
        raise(peakGPUTemp, *sensors.gpuTempCelsius);
    }
}

QString SessionSummary::durationText(Clock::WallTime now) const {
    const auto s = std::chrono::duration_cast<std::chrono::seconds>(now - startTime).count();
    return ::durationText(static_cast<double>(s));
}

QString SessionSummary::peakCPUText() const {
    return percentText(peakCPU);
}

QString SessionSummary::peakGPUText() const {
    return percentText(peakGPU);
}

QString SessionSummary::throttleText() const {
    return ::throttleText(throttleSeconds);
}
