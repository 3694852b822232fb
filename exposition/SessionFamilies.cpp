#include "exposition/MetricFamilies.h"

#include <chrono>

void writeSessionFamilies(ExpositionWriter& writer, const MetricsSnapshot& snapshot) {
    const SessionSummary& session = snapshot.session;
    writer.beginFamily("vantrel_session_peak_cpu_usage_ratio", MetricKind::gauge,
                       "Highest share of all processors busy since the exporter started.");
    writer.sample(session.peakCpu);
    writer.beginFamily("vantrel_session_peak_memory_used_bytes", MetricKind::gauge,
                       "Most physical memory in use since the exporter started.");
    writer.sample(session.peakRamBytes);
    writer.beginFamily("vantrel_session_peak_gpu_usage_ratio", MetricKind::gauge,
                       "Highest share of the GPU busy since the exporter started.");
    if (snapshot.gpu.acceleratorCount > 0) {
        writer.sample(session.peakGpu);
    }
    writer.beginFamily("vantrel_session_peak_network_receive_bytes_per_second", MetricKind::gauge,
                       "Fastest reception on the primary interface since the exporter started.");
    writer.sample(session.peakDownload);
    writer.beginFamily("vantrel_session_peak_network_transmit_bytes_per_second", MetricKind::gauge,
                       "Fastest sending on the primary interface since the exporter started.");
    writer.sample(session.peakUpload);
    // A temperature peak starts at 0 and stays there until the helper gives a reading.
    const bool temperaturesRead = snapshot.helperAvailable;
    writer.beginFamily("vantrel_session_peak_cpu_temperature_celsius", MetricKind::gauge,
                       "Highest CPU temperature since the exporter started.");
    if (temperaturesRead && session.peakCpuTemp > 0) {
        writer.sample(session.peakCpuTemp);
    }
    writer.beginFamily("vantrel_session_peak_gpu_temperature_celsius", MetricKind::gauge,
                       "Highest GPU temperature since the exporter started.");
    if (temperaturesRead && session.peakGpuTemp > 0) {
        writer.sample(session.peakGpuTemp);
    }
    writer.beginFamily("vantrel_session_worst_thermal_state", MetricKind::gauge,
                       "Worst thermal state since the exporter started: 0 nominal to 3 "
                       "critical.");
    writer.sample(thermalStateValue(session.worstThermal));
    writer.beginFamily("vantrel_session_start_time_seconds", MetricKind::gauge,
                       "When the exporter started, in seconds since 1970-01-01 UTC.");
    // Through whole milliseconds: a double of the clock's nanoseconds is off in the last digit.
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(session.startTime.time_since_epoch());
    writer.sample(static_cast<double>(milliseconds.count()) / 1000.0);
}
