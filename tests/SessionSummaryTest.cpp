#include "core/SessionSummary.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

namespace {

using std::chrono::seconds;

NetworkStats speeds(double down, double up) {
    NetworkStats network;
    network.downloadSpeed = down;
    network.uploadSpeed = up;
    return network;
}

void poll(SessionSummary& session, double cpu, ThermalState thermal = ThermalState::nominal,
          NetworkStats network = {}, double seconds = 2.0) {
    CpuStats cpuStats;
    cpuStats.overall = cpu;
    session.applyPoll(cpuStats, RamStats{}, network, GpuStats{}, thermal, seconds);
}

TEST(SessionSummary, PeaksMoveOnlyUpAndIgnoreNaN) {
    SessionSummary session;
    for (double cpu : {0.3, 0.9, 0.5, std::nan(""), -1.0}) {
        poll(session, cpu);
    }
    EXPECT_DOUBLE_EQ(session.peakCpu, 0.9);
    EXPECT_EQ(session.pollCount, 5);

    RamStats ram;
    ram.usedBytes = 5'000'000'000ULL;
    session.applyPoll(CpuStats{}, ram, NetworkStats{}, GpuStats{}, ThermalState::nominal, 2.0);
    ram.usedBytes = 4'000'000'000ULL;
    session.applyPoll(CpuStats{}, ram, NetworkStats{}, GpuStats{}, ThermalState::nominal, 2.0);
    EXPECT_EQ(session.peakRamBytes, 5'000'000'000ULL);
}

TEST(SessionSummary, ThermalWorstNeverDropsAndOnlySeriousOrWorseCountsAsThrottled) {
    SessionSummary session;
    const ThermalState states[] = {ThermalState::fair, ThermalState::serious,
                                   ThermalState::critical, ThermalState::nominal,
                                   ThermalState::fair};
    for (auto state : states) {
        poll(session, 0, state);
    }
    EXPECT_EQ(session.worstThermal, ThermalState::critical);
    EXPECT_EQ(session.throttleSeconds, 4);
}

TEST(SessionSummary, EachPollCountsTheSecondsItStandsFor) {
    SessionSummary session;
    poll(session, 0, ThermalState::nominal, speeds(1500, 10), 2.0);
    poll(session, 0, ThermalState::nominal, speeds(500, 0), 0.5);
    EXPECT_DOUBLE_EQ(session.totalDownloadBytes, 3250);
    EXPECT_DOUBLE_EQ(session.totalUploadBytes, 20);
    EXPECT_DOUBLE_EQ(session.peakDownload, 1500);
    EXPECT_DOUBLE_EQ(session.peakUpload, 10);
    // Fractions of a second add up rather than being dropped poll by poll.
    for (int i = 0; i < 3; ++i) {
        poll(session, 0, ThermalState::serious, {}, 0.6);
    }
    EXPECT_EQ(session.throttleSeconds, 1);
}

TEST(SessionSummary, TemperaturePeaksOnlyFromPresentValues) {
    SessionSummary session;
    SensorStats sensors;
    session.applyTemperatures(sensors);
    EXPECT_EQ(session.peakCpuTemp, 0);
    sensors.cpuTempCelsius = 71.5;
    sensors.gpuTempCelsius = 60;
    session.applyTemperatures(sensors);
    sensors.cpuTempCelsius = 65;
    sensors.gpuTempCelsius.reset();
    session.applyTemperatures(sensors);
    EXPECT_DOUBLE_EQ(session.peakCpuTemp, 71.5);
    EXPECT_DOUBLE_EQ(session.peakGpuTemp, 60);
}

}  // namespace
