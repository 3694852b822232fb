#include "core/DemandHolder.h"
#include "core/ShownSources.h"
#include "support/MonitorHarness.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;

// A monitor whose sources are needed only by what each test holds, besides its own keepers
// (the session summary and the battery health log).
class SamplingDemandTest : public ::testing::Test {
protected:
    SamplingDemandTest() {
        h.everythingShown.release();
        h.monitor->setHelperAvailable(true);
        QObject::connect(h.monitor.get(), &SystemMonitor::pollFinished,
                         [this] { pollTimes.append(h.clock.elapsedSeconds()); });
    }

    // The status strip showing CPU only, as a fresh installation does.
    SamplingDemand::Token showStripWithCpu() {
        return h.monitor->demand().acquire(
            statusItemSources({{StatusMetric::cpu, true, MetricDisplayMode::textOnly},
                               {StatusMetric::cpuTemp, false, MetricDisplayMode::textOnly}}));
    }

    MonitorHarness h;
    QVector<double> pollTimes;
};

TEST_F(SamplingDemandTest, OnlyTheStripShowingCpuScansNoProcessesAndFetchesNoSensors) {
    const auto strip = showStripWithCpu();
    h.monitor->startPolling();
    h.clock.advance(60s);

    ASSERT_EQ(pollTimes.size(), 31);
    EXPECT_EQ(h.fakes.processes->calls, 0);
    EXPECT_EQ(h.fakes.sensors->calls, 0);
    EXPECT_EQ(h.fakes.disk->calls, 0);
    EXPECT_EQ(h.fakes.cpu->calls, 31);
    // The session summary and the battery health log keep their sources on every poll.
    for (int calls :
         {h.fakes.ram->calls, h.fakes.network->calls, h.fakes.gpu->calls, h.fakes.battery->calls}) {
        EXPECT_EQ(calls, 31);
    }
    // A history of a source nobody needed holds nothing rather than invented zeros.
    EXPECT_TRUE(h.monitor->histories().disk.values().isEmpty());
    EXPECT_TRUE(h.monitor->histories().cpuTemp.values().isEmpty());
    EXPECT_EQ(h.monitor->histories().cpu.values().size(), 31);
}

TEST_F(SamplingDemandTest, AnOpenedPanelIsScannedAtOnceAndNoMoreOnceClosed) {
    const auto strip = showStripWithCpu();
    h.settings.setCompactShowProcesses(true);
    h.monitor->startPolling();
    h.clock.advance(3s);  // polls at 0.05, 0.85, 2.85
    h.fakes.processes->next.topByCpu = {{42, QStringLiteral("busy"), 90, 0}};

    auto panel = std::make_unique<DemandHolder>(h.monitor->demand(),
                                                [this] { return compactPanelSources(h.settings); });
    h.clock.advance(0s);  // the next turn of the event loop
    ASSERT_EQ(pollTimes.size(), 4);
    EXPECT_DOUBLE_EQ(pollTimes.last(), 3.0);  // not at 4.85
    EXPECT_EQ(h.fakes.processes->calls, 1);
    EXPECT_EQ(h.monitor->processes().topByCpu.size(), 1);
    EXPECT_EQ(h.fakes.sensors->calls, 1);

    h.clock.advance(4s);  // polls at 5.0 and 7.0 while it stays open
    EXPECT_EQ(h.fakes.processes->calls, 3);

    panel.reset();
    h.clock.advance(20s);
    EXPECT_EQ(h.fakes.processes->calls, 3);
    EXPECT_EQ(h.fakes.sensors->calls, 3);
}

TEST_F(SamplingDemandTest, ASourceNeededDuringAPollGetsThePollThatFollowsAtOnce) {
    h.fakes.sensors->delay = 500ms;  // each poll's sensor fetch takes half a second
    const auto alerts = h.monitor->demand().acquire({MonitorSource::sensors});
    h.monitor->startPolling();
    h.clock.advance(300ms);  // the first poll, begun at 0.05 s, is fetching
    const auto panel = h.monitor->demand().acquire({MonitorSource::processes});
    h.clock.advance(800ms);
    // The first poll ends at 0.55 s and the second begins then, not 0.8 s later.
    ASSERT_EQ(pollTimes.size(), 2);
    EXPECT_NEAR(pollTimes[0], 0.55, 1e-9);
    EXPECT_NEAR(pollTimes[1], 1.05, 1e-9);
    EXPECT_EQ(h.fakes.processes->calls, 1);
}

// Each holder keeps its sources sampled on every poll while it holds them.
struct KeeperCase {
    const char* name;
    void (*start)(MonitorHarness&);
    SourceSet kept;
};

const KeeperCase kKeeperCases[] = {
    {"recording", [](MonitorHarness& h) { h.fakes.recorder->setRecording(true); },
     standing_sources::csvColumns},
    {"alerts",
     [](MonitorHarness& h) { h.settings.setAlertsEnabled(true); },
     {MonitorSource::sensors}},
};

TEST_F(SamplingDemandTest, RecordingsAndAlertsKeepTheirSourcesSampled) {
    h.monitor->startPolling();
    h.clock.advance(1s);
    for (const KeeperCase& c : kKeeperCases) {
        SCOPED_TRACE(c.name);
        const int disk = h.fakes.disk->calls;
        const int sensors = h.fakes.sensors->calls;
        c.start(h);
        h.clock.advance(10s);  // a prompt poll, then five at the interval
        EXPECT_EQ(h.fakes.disk->calls - disk, c.kept.contains(MonitorSource::disk) ? 6 : 0);
        EXPECT_EQ(h.fakes.sensors->calls - sensors, 6);
        EXPECT_EQ(h.fakes.processes->calls, 0);
        h.fakes.recorder->setRecording(false);
        h.settings.setAlertsEnabled(false);
    }
}

TEST_F(SamplingDemandTest, ARecordingRowIsNeverWrittenFromRecordsThatWereNotSampled) {
    QVector<bool> rowsWithDisk;
    h.fakes.disk->next.totalBytes = 100;
    h.fakes.recorder->onRecord = [&](const SystemMonitor& monitor) {
        if (h.fakes.recorder->isRecording()) {
            rowsWithDisk.append(monitor.disk().totalBytes == 100);
        }
    };
    h.fakes.processes->whileSampling = [this] { h.fakes.recorder->setRecording(true); };
    const auto panel = h.monitor->demand().acquire({MonitorSource::processes});
    h.monitor->startPolling();
    h.clock.advance(1s);
    // No row from the first poll, which began before the recording; one from the poll that
    // followed it at once.
    EXPECT_EQ(rowsWithDisk, QVector<bool>{true});
}

TEST(StatusItemSources, EachEnabledMetricNeedsItsSource) {
    const struct {
        StatusMetric metric;
        SourceSet sources;
    } cases[] = {
        {StatusMetric::cpu, {MonitorSource::cpu}},
        {StatusMetric::network, {MonitorSource::network}},
        {StatusMetric::disk, {MonitorSource::disk}},
        {StatusMetric::cpuTemp, {MonitorSource::sensors}},
        {StatusMetric::fanSpeed, {MonitorSource::sensors}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(statusItemSources({{c.metric, true, MetricDisplayMode::textOnly}}), c.sources);
        EXPECT_EQ(statusItemSources({{c.metric, false, MetricDisplayMode::textOnly}}), SourceSet{});
    }
}

TEST(DemandHolder, AChangeKeepsTheSourcesThatStayWithoutAskingForThemAgain) {
    SamplingDemand demand;
    SourceSet shown{MonitorSource::cpu};
    QVector<SourceSet> added;
    QObject::connect(&demand, &SamplingDemand::sourcesAdded,
                     [&added](SourceSet sources) { added.append(sources); });
    {
        DemandHolder holder(demand, [&shown] { return shown; });
        shown = {MonitorSource::cpu, MonitorSource::processes};
        holder.refresh();
        shown = {MonitorSource::processes};
        holder.refresh();
        EXPECT_EQ(demand.needed(), SourceSet{MonitorSource::processes});
    }
    EXPECT_TRUE(demand.needed().isEmpty());
    EXPECT_EQ(added, (QVector<SourceSet>{{MonitorSource::cpu}, {MonitorSource::processes}}));
}

TEST(SamplingDemand, ATokenOutlivingItsDemandReleasesNothing) {
    SamplingDemand::Token token;
    {
        SamplingDemand demand;
        token = demand.acquire(SourceSet::all());
        SamplingDemand::Token moved = std::move(token);
        EXPECT_TRUE(demand.isNeeded(MonitorSource::gpu));
        token = std::move(moved);
    }
    token.release();
    EXPECT_TRUE(token.sources().isEmpty());
}

}  // namespace
