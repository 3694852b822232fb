#include "support/MonitorHarness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <limits>
#include <optional>

namespace {

using namespace std::chrono_literals;

class SystemMonitorTest : public ::testing::Test {
protected:
    SystemMonitorTest() {
        QObject::connect(h.monitor.get(), &SystemMonitor::statsUpdated,
                         [this] { updateTimes_.append(h.clock.elapsedSeconds()); });
    }

    MonitorHarness h;
    // Virtual time of every statsUpdated so far, in seconds since the test began.
    QVector<double> updateTimes_;
};

void expectTimes(const QVector<double>& actual, const QVector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (int i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-9) << "update " << i;
    }
}

TEST_F(SystemMonitorTest, PollsAfterFiftyMillisecondsThenEightHundredThenEachInterval) {
    h.monitor->startPolling();
    h.clock.advance(7s);
    expectTimes(updateTimes_, {0.05, 0.85, 2.85, 4.85, 6.85});
    EXPECT_EQ(h.fakes.cpu->calls, 5);
    EXPECT_EQ(h.monitor->session().pollCount, 5);
}

TEST_F(SystemMonitorTest, EachWaitStartsWhenThePreviousPollHasFinished) {
    h.monitor->setHelperAvailable(true);
    h.fakes.sensors->delay = 500ms;  // a slow helper stretches every period
    h.monitor->startPolling();
    h.clock.advance(6500ms);
    expectTimes(updateTimes_, {0.55, 1.85, 4.35});
    EXPECT_EQ(h.fakes.sensors->calls, 4);  // the fourth poll is still waiting for its reply
}

TEST_F(SystemMonitorTest, NewIntervalAppliesFromTheNextWaitAndEmptiesHistories) {
    h.monitor->startPolling();
    h.clock.advance(1s);                                          // two polls
    h.settings.setRefreshInterval(h.settings.refreshInterval());  // the current one again
    ASSERT_EQ(h.monitor->histories().cpu.values().size(), 2);
    h.settings.setRefreshInterval(5);  // during the 2 s wait that began at 0.85
    EXPECT_TRUE(h.monitor->histories().cpu.values().isEmpty());
    h.clock.advance(8s);
    // 1.0: the reset's own update; the wait in progress is not shortened.
    expectTimes(updateTimes_, {0.05, 0.85, 1.0, 2.85, 7.85});
    EXPECT_EQ(h.monitor->histories().cpu.values().size(), 2);
    EXPECT_EQ(h.monitor->session().pollCount, 4);  // the session survives the reset
}

TEST_F(SystemMonitorTest, WithoutTheHelperOnlySystemRecordsAdvance) {
    h.fakes.sensors->next.cpuTempCelsius = 80;
    h.monitor->startPolling();
    h.clock.advance(3s);
    EXPECT_EQ(h.fakes.sensors->calls, 0);
    EXPECT_EQ(h.fakes.alerts->calls, 0);
    EXPECT_EQ(h.fakes.recorder->calls, 3);  // a recording gets a row on every poll
    EXPECT_EQ(h.monitor->sensors(), SensorStats{});
    EXPECT_TRUE(h.monitor->histories().cpuTemp.values().isEmpty());
    EXPECT_TRUE(h.monitor->histories().fan0.values().isEmpty());
    EXPECT_EQ(h.monitor->histories().disk.values().size(), 3);
    EXPECT_EQ(h.monitor->session().peakCpuTemp, 0);
    EXPECT_EQ(h.fakes.batteryHealth->received.size(), 3);
}

TEST_F(SystemMonitorTest, HelperArrivingMidSessionStartsTheSensorHistories) {
    h.monitor->startPolling();
    h.clock.advance(1s);
    h.monitor->setHelperAvailable(true);
    h.fakes.sensors->next.cpuTempCelsius = 70;
    h.fakes.sensors->next.fans = {{0, 1200}, {1, 1400}};
    h.clock.advance(2s);
    EXPECT_EQ(h.monitor->histories().cpuTemp.values(), QVector<double>{70});
    EXPECT_EQ(h.monitor->histories().gpuTemp.values(), QVector<double>{0});  // absent reads 0
    EXPECT_EQ(h.monitor->histories().fan0.values(), QVector<double>{1200});
    EXPECT_EQ(h.monitor->histories().cpu.values().size(), 3);
    EXPECT_EQ(h.fakes.alerts->calls, 1);
    EXPECT_EQ(h.fakes.recorder->calls, 3);  // every poll, with and without the helper
    EXPECT_EQ(h.monitor->session().peakCpuTemp, 70);
}

// Each poll's channel values, in the order below, and the extremes after the last.
TEST_F(SystemMonitorTest, EachSensorReadingKeepsItsSessionMinimumAndMaximumOfFiniteValues) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    const auto channel = [](const char* sensor, std::optional<double> value) {
        SensorChannelReading reading;
        reading.chip = QStringLiteral("platform_nct6775_656");
        reading.sensor = QString::fromLatin1(sensor);
        reading.kind = SensorChannelKind::fan;
        reading.value = value;
        return reading;
    };
    const QVector<QVector<SensorChannelReading>> polls = {
        {channel("fan1", 1200), channel("fan2", std::nullopt), channel("in0", nan)},
        {channel("fan1", 900), channel("fan2", 700)},
        {channel("fan1", 1500), channel("fan2", std::nullopt), channel("in0", 1.1)},
        {channel("fan1", nan)},
    };
    h.monitor->setHelperAvailable(true);
    for (const auto& channels : polls) {
        h.fakes.sensors->next.channels = channels;
        h.monitor->poll();
    }
    const QHash<QString, SensorExtremes> expected = {
        {QStringLiteral("platform_nct6775_656/fan1"), {900, 1500}},
        {QStringLiteral("platform_nct6775_656/fan2"), {700, 700}},
        {QStringLiteral("platform_nct6775_656/in0"), {1.1, 1.1}},
    };
    EXPECT_EQ(h.monitor->sensorExtremes(), expected);

    // A poll without the helper fetches no sensors and keeps the extremes.
    h.monitor->setHelperAvailable(false);
    h.fakes.sensors->next.channels = {channel("fan1", 5000)};
    h.monitor->poll();
    EXPECT_EQ(h.monitor->sensorExtremes(), expected);
}

TEST_F(SystemMonitorTest, RecorderSeesThisPollsRecordsPublishedButHistoriesNotYetAppended) {
    h.fakes.cpu->next.overall = 0.42;
    h.fakes.thermal->next = ThermalState::fair;
    h.fakes.sensors->next.cpuTempCelsius = 66;
    int cpuHistoryLength = -1;
    double recordedCpu = -1;
    ThermalState recordedThermal = ThermalState::nominal;
    std::optional<double> recordedTemp;
    h.fakes.recorder->onRecord = [&](const SystemMonitor& m) {
        recordedCpu = m.cpu().overall;
        recordedThermal = m.thermalState();
        recordedTemp = m.sensors().cpuTempCelsius;
        cpuHistoryLength = static_cast<int>(m.histories().cpu.values().size());
    };
    h.monitor->startPolling();
    h.clock.advance(100ms);  // the first poll, without the helper
    EXPECT_DOUBLE_EQ(recordedCpu, 0.42);
    EXPECT_EQ(recordedThermal, ThermalState::fair);
    EXPECT_FALSE(recordedTemp);
    EXPECT_EQ(cpuHistoryLength, 0);

    h.monitor->setHelperAvailable(true);
    h.clock.advance(1s);  // the second poll, with the sensor step before the row
    EXPECT_EQ(recordedTemp, 66);
    EXPECT_EQ(cpuHistoryLength, 1);
    EXPECT_EQ(h.fakes.recorder->calls, 2);
}

TEST_F(SystemMonitorTest, StoppingDuringAWaitRunsOneLastPollAndEndsTheLoop) {
    h.monitor->startPolling();
    h.clock.advance(1s);
    h.monitor->stopPolling();
    h.clock.advance(30s);
    expectTimes(updateTimes_, {0.05, 0.85, 1.0});
    EXPECT_EQ(h.clock.pendingCallbacks(), 0u);
    EXPECT_FALSE(h.monitor->isPolling());
}

TEST_F(SystemMonitorTest, DestroyingTheMonitorEndsItsLoopWithoutPolling) {
    h.monitor->setHelperAvailable(true);
    h.fakes.sensors->delay = 1s;
    h.monitor->startPolling();
    h.clock.advance(500ms);  // the first poll is waiting for the helper
    h.monitor.reset();
    h.clock.advance(30s);
    EXPECT_TRUE(updateTimes_.isEmpty());
}

TEST_F(SystemMonitorTest, PollFinishedOncePerPollStatsUpdatedAlsoPerResetAndScan) {
    int finished = 0;
    int resets = 0;
    QObject::connect(h.monitor.get(), &SystemMonitor::pollFinished, [&] {
        EXPECT_EQ(h.monitor->histories().cpu.values().size(), h.monitor->session().pollCount);
        ++finished;
    });
    QObject::connect(h.monitor.get(), &SystemMonitor::historyReset, [&] {
        EXPECT_TRUE(h.monitor->histories().cpu.values().isEmpty());
        ++resets;
    });
    h.monitor->setHelperAvailable(true);  // the temperature step touches the session too
    h.monitor->startPolling();
    h.clock.advance(3s);
    // Only a new interval empties the histories: the same one again does not.
    for (const double seconds : {5.0, 5.0, 2.0}) {
        h.settings.setRefreshInterval(seconds);
    }
    h.fakes.disk->finishScan({}, {});
    EXPECT_EQ(updateTimes_.size(), 3 + 2 + 1);
    EXPECT_EQ(finished, 3);
    EXPECT_EQ(resets, 2);
}

TEST_F(SystemMonitorTest, AFinishedDiskScanIsPublishedAtOnceAndNotUndoneByThePollUnderWay) {
    const QVector<StorageCategory> categories{{"Downloads", "Downloads", 5 << 20, "arrow"}};
    const QVector<VolumeInfo> volumes{{"/media/a/STICK", "STICK", 8 << 20, 1 << 20, false, true}};
    int diskSignals = 0;
    QObject::connect(h.monitor.get(), &SystemMonitor::diskChanged, [&] { ++diskSignals; });
    h.fakes.disk->finishScan(categories, {});
    EXPECT_EQ(h.monitor->disk().categories, categories);
    EXPECT_EQ(diskSignals, 1);

    // The next scan ends after this poll sampled the disk and before it publishes.
    h.fakes.disk->next.categories.clear();
    h.fakes.processes->whileSampling = [&] { h.fakes.disk->finishScan(categories, volumes); };
    h.fakes.disk->next.totalBytes = 1000;
    h.monitor->startPolling();
    h.clock.advance(100ms);
    EXPECT_EQ(h.monitor->disk().totalBytes, 1000);
    EXPECT_EQ(h.monitor->disk().categories, categories);
    EXPECT_EQ(h.monitor->disk().volumes, volumes);
    EXPECT_EQ(diskSignals, 3);
}

TEST_F(SystemMonitorTest, HelperStateFollowsAvailabilityAndTheLatestFetch) {
    QVector<HelperState> seen{h.monitor->helperState()};
    const auto step = [&](const std::function<void()>& action) {
        action();
        seen.append(h.monitor->helperState());
    };
    h.monitor->startPolling();
    step([&] { h.clock.advance(100ms); });
    step([&] { h.monitor->setHelperAvailable(true); });
    h.fakes.sensors->state = HelperState::timedOut;
    step([&] { h.clock.advance(1s); });
    h.fakes.sensors->state = HelperState::answering;
    step([&] { h.clock.advance(2s); });
    step([&] { h.monitor->setHelperAvailable(false); });
    EXPECT_EQ(seen, (QVector<HelperState>{HelperState::notInstalled, HelperState::notInstalled,
                                          HelperState::notAskedYet, HelperState::timedOut,
                                          HelperState::answering, HelperState::notInstalled}));
}

TEST(SystemMonitorTotals, TransfersAndThrottlingCountTheTimeBetweenPollsAtAnyInterval) {
    const struct {
        double interval;
        double lastPollAt;  // within the first 20 s: the time the totals stand for
    } cases[] = {{1, 19.85}, {2, 18.85}, {5, 15.85}};
    for (const auto& c : cases) {
        MonitorHarness h;
        h.settings.setRefreshInterval(c.interval);
        h.fakes.network->next.downloadSpeed = 1000;
        h.fakes.network->next.uploadSpeed = 10;
        h.fakes.thermal->next = ThermalState::serious;
        h.monitor->startPolling();
        h.clock.advance(20s);
        const SessionSummary& session = h.monitor->session();
        EXPECT_NEAR(session.totalDownloadBytes, 1000 * c.lastPollAt, 1e-6) << c.interval;
        EXPECT_NEAR(session.totalUploadBytes, 10 * c.lastPollAt, 1e-6) << c.interval;
        EXPECT_EQ(session.throttleSeconds, static_cast<int>(c.lastPollAt)) << c.interval;
    }
}

TEST_F(SystemMonitorTest, APollAfterAStallCountsAtMostTwoIntervals) {
    h.settings.setRefreshInterval(5);
    h.fakes.network->next.downloadSpeed = 1000;
    h.monitor->poll();
    h.clock.advance(1h);
    h.monitor->poll();
    EXPECT_DOUBLE_EQ(h.monitor->session().totalDownloadBytes, 1000 * 10.0);
}

TEST_F(SystemMonitorTest, APollPublishesEveryRecordAndAppendsTheDerivedFractions) {
    h.fakes.cpu->next.overall = 0.5;
    h.fakes.ram->next.totalBytes = 0;
    h.fakes.ram->next.usedBytes = 5;
    h.fakes.battery->next.percentage = 57;
    h.fakes.disk->next.totalBytes = 400;
    h.fakes.disk->next.usedBytes = 100;
    h.fakes.disk->next.availableBytes = 100;  // the rest is root's reserve
    h.fakes.network->next.uploadSpeed = 12;
    h.fakes.network->next.downloadSpeed = 34;
    h.fakes.gpu->next.name = QStringLiteral("Test GPU");
    h.fakes.processes->next.topByCpu = {{42, QStringLiteral("yes"), 99.0, 1024}};
    h.fakes.thermal->next = ThermalState::serious;
    h.monitor->startPolling();
    h.clock.advance(100ms);
    EXPECT_EQ(h.monitor->cpu().overall, 0.5);
    EXPECT_EQ(h.monitor->gpu().name, QStringLiteral("Test GPU"));
    EXPECT_EQ(h.monitor->processes().topByCpu.size(), 1);
    EXPECT_EQ(h.monitor->thermalState(), ThermalState::serious);
    EXPECT_EQ(h.monitor->session().worstThermal, ThermalState::serious);
    const auto& histories = h.monitor->histories();
    EXPECT_EQ(histories.ram.values(), QVector<double>{0});
    EXPECT_EQ(histories.battery.values(), QVector<double>{0.57});
    EXPECT_EQ(histories.disk.values(), QVector<double>{0.5});
    EXPECT_EQ(histories.networkUp.values(), QVector<double>{12});
    EXPECT_EQ(histories.networkDown.values(), QVector<double>{34});
}

}  // namespace
