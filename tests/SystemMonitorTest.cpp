#include "core/AppSettings.h"
#include "core/LoginItem.h"
#include "core/NotificationCenter.h"
#include "core/SystemMonitor.h"
#include "core/UserDefaults.h"
#include "support/FakeClock.h"
#include "support/FakeMonitorParts.h"
#include "support/MonitorHarness.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>

namespace {

using namespace std::chrono_literals;

class NoLoginItem final : public LoginItem {
public:
    NoLoginItem() : LoginItem(QString(), QString()) {}
    bool setEnabled(bool) override { return true; }
};

class SystemMonitorTest : public ::testing::Test {
protected:
    SystemMonitorTest()
        : defaults_(dir_.filePath("settings.json")), settings_(defaults_, center_, loginItem_) {
        auto [parts, fakes] = FakeParts::make(clock_);
        fakes_ = fakes;
        monitor_ = std::make_unique<SystemMonitor>(settings_, center_, clock_, std::move(parts));
        QObject::connect(&center_, &NotificationCenter::notified, [this](const QString& name) {
            if (name == notification::statsDidUpdate) {
                updateTimes_.append(clock_.elapsedSeconds());
            }
        });
    }

    ~SystemMonitorTest() override {
        // Let a loop that is still waiting see its cancellation and finish, as an event loop
        // would, so no coroutine is left suspended.
        monitor_.reset();
        clock_.advance(std::chrono::hours(1));
    }

    // Virtual time of every "statsDidUpdate" so far, in seconds since the test began.
    QVector<double> updateTimes_;
    QTemporaryDir dir_;
    FakeClock clock_;
    NotificationCenter center_;
    NoLoginItem loginItem_;
    UserDefaults defaults_;
    AppSettings settings_;
    FakeParts fakes_{};
    std::unique_ptr<SystemMonitor> monitor_;
};

void expectTimes(const QVector<double>& actual, const QVector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (int i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-9) << "update " << i;
    }
}

TEST_F(SystemMonitorTest, PollsAfterFiftyMillisecondsThenEightHundredThenEachInterval) {
    monitor_->startPolling();
    clock_.advance(7s);
    expectTimes(updateTimes_, {0.05, 0.85, 2.85, 4.85, 6.85});
    EXPECT_EQ(fakes_.cpu->calls, 5);
    EXPECT_EQ(monitor_->session().pollCount, 5);
}

TEST_F(SystemMonitorTest, EachWaitStartsWhenThePreviousPollHasFinished) {
    monitor_->setHelperAvailable(true);
    fakes_.sensors->delay = 500ms;  // a slow helper stretches every period
    monitor_->startPolling();
    clock_.advance(6500ms);
    expectTimes(updateTimes_, {0.55, 1.85, 4.35});
    EXPECT_EQ(fakes_.sensors->calls, 4);  // the fourth poll is still waiting for its reply
}

TEST_F(SystemMonitorTest, NewIntervalAppliesFromTheNextWaitAndEmptiesHistories) {
    monitor_->startPolling();
    clock_.advance(1s);  // two polls
    ASSERT_EQ(monitor_->histories().cpu.values().size(), 2);
    settings_.setRefreshInterval(5);  // during the 2 s wait that began at 0.85
    EXPECT_TRUE(monitor_->histories().cpu.values().isEmpty());
    clock_.advance(8s);
    // 1.0: the reset's own update; the wait in progress is not shortened.
    expectTimes(updateTimes_, {0.05, 0.85, 1.0, 2.85, 7.85});
    EXPECT_EQ(monitor_->histories().cpu.values().size(), 2);
    EXPECT_EQ(monitor_->session().pollCount, 4);  // the session survives the reset
}

TEST_F(SystemMonitorTest, WithoutTheHelperOnlySystemRecordsAdvance) {
    fakes_.sensors->next.cpuTempCelsius = 80;
    monitor_->startPolling();
    clock_.advance(3s);
    EXPECT_EQ(fakes_.sensors->calls, 0);
    EXPECT_EQ(fakes_.alerts->calls, 0);
    EXPECT_EQ(fakes_.recorder->calls, 3);  // a recording gets a row on every poll
    EXPECT_EQ(monitor_->sensors(), SensorStats{});
    EXPECT_TRUE(monitor_->histories().cpuTemp.values().isEmpty());
    EXPECT_TRUE(monitor_->histories().fan0.values().isEmpty());
    EXPECT_EQ(monitor_->histories().disk.values().size(), 3);
    EXPECT_EQ(monitor_->session().peakCPUTemp, 0);
    EXPECT_EQ(fakes_.batteryHealth->received.size(), 3);
}

TEST_F(SystemMonitorTest, HelperArrivingMidSessionStartsTheSensorHistories) {
    monitor_->startPolling();
    clock_.advance(1s);
    monitor_->setHelperAvailable(true);
    fakes_.sensors->next.cpuTempCelsius = 70;
    fakes_.sensors->next.fans = {{0, 1200}, {1, 1400}};
    clock_.advance(2s);
    EXPECT_EQ(monitor_->histories().cpuTemp.values(), QVector<double>{70});
    EXPECT_EQ(monitor_->histories().gpuTemp.values(), QVector<double>{0});  // absent reads 0
    EXPECT_EQ(monitor_->histories().fan0.values(), QVector<double>{1200});
    EXPECT_EQ(monitor_->histories().cpu.values().size(), 3);
    EXPECT_EQ(fakes_.alerts->calls, 1);
    EXPECT_EQ(fakes_.recorder->calls, 3);  // every poll, with and without the helper
    EXPECT_EQ(monitor_->session().peakCPUTemp, 70);
}

TEST_F(SystemMonitorTest, HistoriesStoreTheDerivedFractions) {
    fakes_.ram->next.totalBytes = 0;
    fakes_.ram->next.usedBytes = 5;
    fakes_.battery->next.percentage = 57;
    fakes_.disk->next.totalBytes = 400;
    fakes_.disk->next.usedBytes = 100;
    fakes_.network->next.uploadSpeed = 12;
    fakes_.network->next.downloadSpeed = 34;
    monitor_->startPolling();
    clock_.advance(100ms);
    const auto& h = monitor_->histories();
    EXPECT_EQ(h.ram.values(), QVector<double>{0});
    EXPECT_EQ(h.battery.values(), QVector<double>{0.57});
    EXPECT_EQ(h.disk.values(), QVector<double>{0.25});
    EXPECT_EQ(h.networkUp.values(), QVector<double>{12});
    EXPECT_EQ(h.networkDown.values(), QVector<double>{34});
}

TEST_F(SystemMonitorTest, RecorderSeesThisPollsRecordsPublishedButHistoriesNotYetAppended) {
    fakes_.cpu->next.overall = 0.42;
    fakes_.thermal->next = ThermalState::fair;
    fakes_.sensors->next.cpuTempCelsius = 66;
    int cpuHistoryLength = -1;
    double recordedCpu = -1;
    ThermalState recordedThermal = ThermalState::nominal;
    std::optional<double> recordedTemp;
    fakes_.recorder->onRecord = [&](const SystemMonitor& m) {
        recordedCpu = m.cpu().overall;
        recordedThermal = m.thermalState();
        recordedTemp = m.sensors().cpuTempCelsius;
        cpuHistoryLength = static_cast<int>(m.histories().cpu.values().size());
    };
    monitor_->startPolling();
    clock_.advance(100ms);  // the first poll, without the helper
    EXPECT_DOUBLE_EQ(recordedCpu, 0.42);
    EXPECT_EQ(recordedThermal, ThermalState::fair);
    EXPECT_FALSE(recordedTemp);
    EXPECT_EQ(cpuHistoryLength, 0);

    monitor_->setHelperAvailable(true);
    clock_.advance(1s);  // the second poll, with the sensor step before the row
    EXPECT_EQ(recordedTemp, 66);
    EXPECT_EQ(cpuHistoryLength, 1);
    EXPECT_EQ(fakes_.recorder->calls, 2);
}

TEST_F(SystemMonitorTest, StoppingDuringAWaitRunsOneLastPollAndEndsTheLoop) {
    monitor_->startPolling();
    clock_.advance(1s);
    monitor_->stopPolling();
    clock_.advance(30s);
    expectTimes(updateTimes_, {0.05, 0.85, 1.0});
    EXPECT_EQ(clock_.pendingCallbacks(), 0u);
    EXPECT_FALSE(monitor_->isPolling());
}

TEST_F(SystemMonitorTest, DestroyingTheMonitorEndsItsLoopWithoutPolling) {
    monitor_->setHelperAvailable(true);
    fakes_.sensors->delay = 1s;
    monitor_->startPolling();
    clock_.advance(500ms);  // the first poll is waiting for the helper
    monitor_.reset();
    clock_.advance(30s);
    EXPECT_TRUE(updateTimes_.isEmpty());
}

TEST_F(SystemMonitorTest, PollFinishedAndSessionChangedOncePerPollStatsDidUpdateAlsoPerReset) {
    int finished = 0;
    int sessionChanges = 0;
    QObject::connect(monitor_.get(), &SystemMonitor::pollFinished, [&] {
        EXPECT_EQ(monitor_->histories().cpu.values().size(), monitor_->session().pollCount);
        ++finished;
    });
    QObject::connect(monitor_.get(), &SystemMonitor::sessionChanged, [&] { ++sessionChanges; });
    monitor_->setHelperAvailable(true);  // the temperature step touches the session too
    monitor_->startPolling();
    clock_.advance(3s);
    center_.post(notification::historyDidReset);
    center_.post(notification::historyDidReset);
    fakes_.disk->finishScan({}, {});
    EXPECT_EQ(updateTimes_.size(), 3 + 2);
    EXPECT_EQ(finished, 3);
    EXPECT_EQ(sessionChanges, 3);
}

TEST_F(SystemMonitorTest, ChoosingTheCurrentIntervalAgainKeepsTheHistories) {
    monitor_->startPolling();
    clock_.advance(1s);
    settings_.setRefreshInterval(settings_.refreshInterval());
    EXPECT_EQ(monitor_->histories().cpu.values().size(), 2);
    EXPECT_EQ(updateTimes_.size(), 2);
}

TEST_F(SystemMonitorTest, AFinishedDiskScanIsPublishedAtOnceAndNotUndoneByThePollUnderWay) {
    const QVector<StorageCategory> categories{{"Downloads", "Downloads", 5 << 20, "arrow"}};
    const QVector<VolumeInfo> volumes{{"/media/a/STICK", "STICK", 8 << 20, 1 << 20, false, true}};
    int diskSignals = 0;
    QObject::connect(monitor_.get(), &SystemMonitor::diskChanged, [&] { ++diskSignals; });
    fakes_.disk->finishScan(categories, {});
    EXPECT_EQ(monitor_->disk().categories, categories);
    EXPECT_EQ(diskSignals, 1);

    // The next scan ends after this poll sampled the disk and before it publishes.
    fakes_.disk->next.categories.clear();
    fakes_.processes->whileSampling = [&] { fakes_.disk->finishScan(categories, volumes); };
    fakes_.disk->next.totalBytes = 1000;
    monitor_->startPolling();
    clock_.advance(100ms);
    EXPECT_EQ(monitor_->disk().totalBytes, 1000);
    EXPECT_EQ(monitor_->disk().categories, categories);
    EXPECT_EQ(monitor_->disk().volumes, volumes);
    EXPECT_EQ(diskSignals, 3);
}

TEST_F(SystemMonitorTest, HelperStateFollowsAvailabilityAndTheLatestFetch) {
    QVector<HelperState> seen;
    QObject::connect(monitor_.get(), &SystemMonitor::helperStateChanged,
                     [&] { seen.append(monitor_->helperState()); });
    EXPECT_EQ(monitor_->helperState(), HelperState::notInstalled);
    monitor_->startPolling();
    clock_.advance(100ms);
    monitor_->setHelperAvailable(true);
    fakes_.sensors->state = HelperState::timedOut;
    clock_.advance(1s);
    fakes_.sensors->state = HelperState::answering;
    clock_.advance(2s);
    clock_.advance(2s);  // no change, no signal
    monitor_->setHelperAvailable(false);
    EXPECT_EQ(seen, (QVector<HelperState>{HelperState::notAskedYet, HelperState::timedOut,
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
    settings_.setRefreshInterval(5);
    fakes_.network->next.downloadSpeed = 1000;
    monitor_->poll();
    clock_.advance(1h);
    monitor_->poll();
    EXPECT_DOUBLE_EQ(monitor_->session().totalDownloadBytes, 1000 * 10.0);
}

TEST_F(SystemMonitorTest, PublishesEveryRecordOfThePoll) {
    fakes_.cpu->next.overall = 0.5;
    fakes_.gpu->next.name = QStringLiteral("Test GPU");
    fakes_.processes->next.topByCPU = {{42, QStringLiteral("yes"), 99.0, 1024}};
    fakes_.thermal->next = ThermalState::serious;
    int cpuSignals = 0;
    QObject::connect(monitor_.get(), &SystemMonitor::cpuChanged, [&] { ++cpuSignals; });
    monitor_->startPolling();
    clock_.advance(100ms);
    EXPECT_EQ(monitor_->cpu().overall, 0.5);
    EXPECT_EQ(monitor_->gpu().name, QStringLiteral("Test GPU"));
    EXPECT_EQ(monitor_->processes().topByCPU.size(), 1);
    EXPECT_EQ(monitor_->thermalState(), ThermalState::serious);
    EXPECT_EQ(monitor_->session().worstThermal, ThermalState::serious);
    EXPECT_EQ(cpuSignals, 1);
}

}  // namespace
