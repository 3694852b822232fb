#include "recording/ReportText.h"
#include "recording/SessionReport.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;

// 2026-01-31T14:05:09Z
const Clock::WallTime kStart = Clock::WallTime{} + 1769868309s;

// Samples `spacing` apart, `field` set from the values.
template <typename T>
QVector<RecordedSample> samples(std::initializer_list<double> values, T RecordedSample::*field,
                                std::chrono::milliseconds spacing = 10s) {
    QVector<RecordedSample> list;
    for (double value : values) {
        RecordedSample sample;
        sample.timestamp = kStart + spacing * list.size();
        sample.*field = static_cast<T>(value);
        list.append(sample);
    }
    return list;
}

constexpr auto cpu = &RecordedSample::cpuPercent;
constexpr auto cpuTemp = &RecordedSample::cpuTemp;

SessionReport reportOf(const QVector<RecordedSample>& list) {
    return buildSessionReport(list, kStart);
}

TEST(SessionReport, CpuAveragesPeaksAndTimesAboveThresholds) {
    const SessionReport r = reportOf(samples({50, 85, 85, 95}, cpu));
    EXPECT_EQ(r.sampleCount, 4);
    EXPECT_EQ(r.duration, 30);
    EXPECT_EQ(r.startTime, kStart);
    EXPECT_EQ(r.peakCPU, 95);
    EXPECT_EQ(r.peakCPUTime, kStart + 30s);
    EXPECT_EQ(r.timeAboveCPU80, 30);
    EXPECT_EQ(r.timeAboveCPU90, 10);
    EXPECT_DOUBLE_EQ(r.avgCPU, 78.75);
}

TEST(SessionReport, ThresholdsAreStrictEqualPeaksKeepTheFirstTimeOneSampleIsTwoSeconds) {
    const SessionReport r = reportOf(samples({80, 90, 90}, cpu));
    EXPECT_EQ(r.peakCPUTime, kStart + 10s);
    EXPECT_EQ(r.timeAboveCPU80, 20);
    EXPECT_EQ(r.timeAboveCPU90, 0);
    const SessionReport one = reportOf(samples({95}, cpu));
    EXPECT_EQ(one.duration, 0);
    EXPECT_EQ(one.timeAboveCPU90, 2);
}

TEST(SessionReport, UnmeasuredTemperaturesAverageZeroAndPeakAtTheFirstSample) {
    const SessionReport none = reportOf(samples({0, 0, 0}, cpuTemp));
    EXPECT_EQ(none.avgCPUTemp, 0);
    EXPECT_EQ(none.peakCPUTemp, 0);
    EXPECT_EQ(none.peakCPUTempTime, kStart);

    const SessionReport some = reportOf(samples({0, 70, 95, 0}, cpuTemp));
    EXPECT_DOUBLE_EQ(some.avgCPUTemp, 82.5);  // the unmeasured zeros do not count
    EXPECT_EQ(some.peakCPUTempTime, kStart + 20s);
    EXPECT_EQ(some.timeAboveTemp80, 10);
    EXPECT_EQ(some.timeAboveTemp90, 10);
}

TEST(SessionReport, PowerAveragesMeasuredValuesAndGivesEnergy) {
    const SessionReport r = reportOf(samples({0, 10, 20, 30}, &RecordedSample::systemPower, 1200s));
    EXPECT_EQ(r.avgPower, 20);
    EXPECT_EQ(r.peakPower, 30);
    EXPECT_DOUBLE_EQ(r.totalEnergy, 1.0 * 20);  // one hour at 20 W
    EXPECT_EQ(r.powerHistory, (QVector<double>{10, 20, 30}));
    EXPECT_EQ(reportOf(samples({0, 0}, &RecordedSample::systemPower)).powerHistory,
              (QVector<double>{0, 0}));
}

TEST(SessionReport, FansCountIdleSamplesAndAverageTheActiveOnes) {
    const SessionReport r = reportOf(samples({0, 0, 1200, 0}, &RecordedSample::fanRPM));
    EXPECT_EQ(r.fanIdlePercent, 75);
    EXPECT_EQ(r.avgFanRPM, 1200);
    EXPECT_EQ(r.peakFanTime, kStart + 20s);
}

TEST(SessionReport, ThrottlingCountsSeriousAndCriticalStretches) {
    const struct {
        std::initializer_list<double> states;
        std::int64_t seconds;
        std::int64_t episodes;
    } cases[] = {
        {{0, 2, 3, 0, 2}, 30, 2},
        {{3, 3, 1, 2}, 30, 2},  // a throttled first sample starts an episode
        {{0, 1, 1}, 0, 0},
    };
    for (const auto& c : cases) {
        const SessionReport r = reportOf(samples(c.states, &RecordedSample::thermalState));
        EXPECT_EQ(r.thermalThrottleSeconds, c.seconds);
        EXPECT_EQ(r.thermalThrottleEpisodes, c.episodes);
    }
    // 2 samples over 7 s: the interval is 3.5 s and 3.5 is truncated to 3.
    const SessionReport uneven =
        reportOf(samples({2, 0, 0}, &RecordedSample::thermalState, 3500ms));
    EXPECT_EQ(uneven.thermalThrottleSeconds, 3);
}

TEST(SessionReport, NoSamplesGiveTheSharedEmptyReport) {
    const SessionReport first = buildSessionReport({}, kStart);
    const SessionReport later = buildSessionReport({}, kStart + 1h);
    EXPECT_EQ(first, later);  // built once, dated then
    EXPECT_EQ(first.fanIdlePercent, 100);
    EXPECT_EQ(first.sampleCount, 0);
}

TEST(Downsample, PicksEvenlySpacedValuesWithoutAveraging) {
    QVector<double> ramp;
    for (int i = 0; i < 300; ++i) {
        ramp.append(i);
    }
    const QVector<double> picked = downsample(ramp, 120);
    ASSERT_EQ(picked.size(), 120);
    EXPECT_EQ(picked.mid(0, 5), (QVector<double>{0, 2, 5, 7, 10}));
    EXPECT_EQ(picked.last(), 297);
    EXPECT_EQ(downsample(ramp.mid(0, 7), 120), ramp.mid(0, 7));
    EXPECT_TRUE(downsample(ramp, 0).isEmpty());
    EXPECT_EQ(downsample({1, 2, 3}, 2), (QVector<double>{1, 2}));
}

TEST(ReportText, DatesInTheGivenZone) {
    const QTimeZone berlin("Europe/Berlin");
    EXPECT_EQ(dateRangeText(kStart, kStart + 9h, QTimeZone::utc()),
              "Jan 31, 14:05 → Jan 31, 23:05");
    EXPECT_EQ(dateRangeText(kStart, kStart + 9h, berlin), "Jan 31, 15:05 → Feb 1, 00:05");
    EXPECT_EQ(clockTimeText(kStart, berlin), "15:05:09");
}

TEST(ReportText, SummaryOfABusySession) {
    QVector<RecordedSample> list;
    const struct {
        double cpu, cpuTemp, gpuTemp, ssdTemp, power, fan;
        int battery, thermal;
    } rows[] = {
        {50, 70, 60, 40, 20, 0, 90, 0},
        {95, 92, 65, 41, 40, 1500, 89, 2},
        {85, 85, 62, 42, 30, 0, 88, 3},
        {40, 60, 61, 43, 10, 0, 87, 0},
    };
    int i = 0;
    for (const auto& row : rows) {
        RecordedSample s;
        s.timestamp = kStart + std::chrono::seconds(100 * i++);
        s.cpuPercent = row.cpu;
        s.cpuTemp = row.cpuTemp;
        s.gpuTemp = row.gpuTemp;
        s.ssdTemp = row.ssdTemp;
        s.systemPower = row.power;
        s.fanRPM = row.fan;
        s.batteryPercent = row.battery;
        s.thermalState = row.thermal;
        list.append(s);
    }
    EXPECT_EQ(summaryText(reportOf(list), QTimeZone::utc()),
              "Session: 5m 0s (4 samples)\n"
              "\n"
              "CPU: avg 67.5%, peak 95.0% at 14:06:49\n"
              "  Above 80% for 3m 20s\n"
              "CPU Temp: avg 76.8°C, peak 92.0°C at 14:06:49\n"
              "  Above 80°C for 3m 20s\n"
              "GPU Temp: avg 62.0°C, peak 65.0°C at 14:06:49\n"
              "SSD Temp: avg 41.5°C, peak 43.0°C at 14:10:09\n"
              "\n"
              "Power: avg 25.0 W, peak 40.0 W at 14:06:49, total 2.08 Wh\n"
              "Fans: peak 1500 RPM at 14:06:49, idle 75% of session\n"
              "Battery: 90% → 87% (-3%)\n"
              "Throttled: 3m 20s across 1 episode(s)");
}

TEST(ReportText, SummaryOfAQuietSessionLeavesOutWhatDidNotHappen) {
    QVector<RecordedSample> list = samples({10, 20}, cpu, 2s);
    list[1].batteryPercent = 1;  // charged from 0 to 1: a negative drain, not shown
    EXPECT_EQ(summaryText(reportOf(list), QTimeZone::utc()),
              "Session: 2s (2 samples)\n"
              "\n"
              "CPU: avg 15.0%, peak 20.0% at 14:05:11\n"
              "CPU Temp: avg 0.0°C, peak 0.0°C at 14:05:09\n"
              "GPU Temp: avg 0.0°C, peak 0.0°C at 14:05:09\n"
              "SSD Temp: avg 0.0°C, peak 0.0°C at 14:05:09\n"
              "\n"
              "Power: avg 0.0 W, peak 0.0 W at 14:05:09, total 0.00 Wh\n"
              "Fans: idle entire session\n"
              "Throttled: None");
}

}  // namespace
