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

void SessionSummary::applyPoll(const CpuStats& cpu, const RamStats& ram,
                               const NetworkStats& network, const GpuStats& gpu,
                               ThermalState thermal, double seconds) {
    ++pollCount;
    raise(peakCpu, cpu.overall);
    raise(peakRamBytes, ram.usedBytes);
    raise(peakGpu, gpu.utilization);
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
        raise(peakCpuTemp, *sensors.cpuTempCelsius);
    }
    if (sensors.gpuTempCelsius) {
        raise(peakGpuTemp, *sensors.gpuTempCelsius);
    }
}

QString SessionSummary::durationText(Clock::WallTime now) const {
    const auto s = std::chrono::duration_cast<std::chrono::seconds>(now - startTime).count();
    return ::durationText(static_cast<double>(s));
}

QString SessionSummary::peakCpuText() const {
    return percentText(peakCpu);
}

QString SessionSummary::peakGpuText() const {
    return percentText(peakGpu);
}

QString SessionSummary::throttleText() const {
    return ::throttleText(throttleSeconds);
}
