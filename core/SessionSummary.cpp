#include "core/SessionSummary.h"

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
    if (s < 60) {
        return QStringLiteral("%1s").arg(s);
    }
    if (s < 3600) {
        return QStringLiteral("%1m %2s").arg(s / 60).arg(s % 60);
    }
    return QStringLiteral("%1h %2m").arg(s / 3600).arg((s % 3600) / 60);
}

namespace {
QString percentText(double fraction) {
    return QStringLiteral("%1%").arg(static_cast<long long>(fraction * 100));
}
}  // namespace

QString SessionSummary::peakCPUText() const {
    return percentText(peakCPU);
}

QString SessionSummary::peakGPUText() const {
    return percentText(peakGPU);
}

QString SessionSummary::throttleText() const {
    const auto s = throttleSeconds;
    if (s < 1) {
        return QStringLiteral("None");
    }
    if (s <= 59) {
        return QStringLiteral("%1s").arg(s);
    }
    return QStringLiteral("%1m %2s").arg(s / 60).arg(s % 60);
}

QString formatTotalBytes(double bytes) {
    constexpr double kKB = 1024.0;
    constexpr double kMB = kKB * 1024.0;
    constexpr double kGB = kMB * 1024.0;
    if (bytes >= kGB) {
        return QString::asprintf("%.1f GB", bytes / kGB);
    }
    if (bytes >= kMB) {
        return QString::asprintf("%.1f MB", bytes / kMB);
    }
    if (bytes >= kKB) {
        return QString::asprintf("%.0f KB", bytes / kKB);
    }
    return QString::asprintf("%.0f B", bytes);
}
