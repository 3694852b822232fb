#include "providers/ProcessProvider.h"
#include "providers/ProcessRanking.h"
#include "support/FakeClock.h"

#include <QThread>

#include <gtest/gtest.h>
#include <QCoro/QCoroTask>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <deque>
#include <map>
#include <semaphore>
#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr std::uint64_t kMillisecond = 1'000'000;  // in ns

ProcessSample process(std::int32_t pid, std::uint64_t userMs, std::uint64_t systemMs,
                      std::uint64_t residentMiB = 1,
                      ProcessRunState state = ProcessRunState::running,
                      std::uint64_t startTime = 100) {
    return {pid,
            startTime,
            state,
            userMs * kMillisecond,
            systemMs * kMillisecond,
            residentMiB << 20,
            "p" + std::to_string(pid)};
}

using Table = std::optional<std::vector<ProcessSample>>;

// Hands out one scripted table per read; names are "p<pid>" unless the script says otherwise.
class ScriptedProcessSource final : public ProcessSource {
public:
    explicit ScriptedProcessSource(std::deque<Table> script) : script_(std::move(script)) {}
    Table readProcesses() override {
        if (script_.empty()) {
            return std::nullopt;
        }
        Table next;
        next.swap(script_.front());
        script_.pop_front();
        return next;
    }
    QString nameOf(const ProcessSample& sample) override {
        const auto found = names.find(sample.pid);
        return found != names.end() ? found->second : QString::fromStdString(sample.command);
    }
    std::map<std::int32_t, QString> names;

private:
    std::deque<Table> script_;
};

std::vector<std::int32_t> ids(const QVector<TopProcess>& list) {
    std::vector<std::int32_t> result;
    for (const TopProcess& entry : list) {
        result.push_back(entry.id);
    }
    return result;
}

// --- the arithmetic ---

TEST(ProcessRanking, CpuPercentIsTheCpuTimeGainedOverTheTimeElapsed) {
    struct Row {
        const char* name;
        std::uint64_t user0, system0, user1, system1;  // ms
        double elapsed;                                // s
        double percent;
    };
    const Row rows[] = {
        {"user and system add", 1000, 500, 2000, 1000, 2.0, 75.0},
        {"user time went down: only system counts", 5000, 1000, 4000, 2000, 1.0, 100.0},
        {"system time went down: only user counts", 0, 900, 250, 100, 0.5, 50.0},
        {"several processors", 0, 0, 2500, 500, 1.0, 300.0},
        {"no time elapsed", 0, 0, 1000, 0, 0.0, 0.0},
        {"not a number of seconds", 0, 0, 1000, 0, std::nan(""), 0.0},
        {"infinite seconds", 0, 0, 1000, 0, HUGE_VAL, 0.0},
    };
    for (const Row& row : rows) {
        EXPECT_DOUBLE_EQ(
            cpuPercent(row.user0 * kMillisecond, row.system0 * kMillisecond,
                       row.user1 * kMillisecond, row.system1 * kMillisecond, row.elapsed),
            row.percent)
            << row.name;
    }
    // Counters near the top of their range neither wrap nor overflow.
    EXPECT_DOUBLE_EQ(cpuPercent(UINT64_MAX - 1'000'000'000, 0, UINT64_MAX, 0, 1.0), 100.0);
    EXPECT_DOUBLE_EQ(cpuPercent(UINT64_MAX, 0, 0, 0, 1.0), 0.0);
}

TEST(ProcessRanking, OnlyRunningAndSleepingProcessesTakePart) {
    const std::pair<ProcessRunState, bool> states[] = {
        {ProcessRunState::uninterruptible, true}, {ProcessRunState::stopped, false},
        {ProcessRunState::zombie, false},         {ProcessRunState::idle, false},
        {ProcessRunState::unknown, false},
    };
    for (const auto& [state, listed] : states) {
        FakeClock clock;
        ProcessRanking ranking(std::make_unique<ScriptedProcessSource>(
                                   std::deque<Table>{std::vector{process(7, 10, 10, 5, state)}}),
                               clock);
        clock.advance(1s);
        const ProcessStats stats = ranking.sample();
        EXPECT_EQ(stats.topByCpu.size(), listed ? 1 : 0) << static_cast<int>(state);
        EXPECT_EQ(stats.topByMemory.size(), listed ? 1 : 0) << static_cast<int>(state);
    }
}

// --- two calls ---

TEST(ProcessRanking, RanksByCpuChangeSincePreviousCall) {
    struct Row {
        const char* name;
        std::vector<ProcessSample> first, second;
        std::chrono::milliseconds between;
        std::vector<std::int32_t> byCpu;
        std::vector<double> percents;
    };
    const Row rows[] = {
        {"busiest first",
         {process(1, 0, 0), process(2, 0, 0), process(3, 0, 0)},
         {process(1, 100, 0), process(2, 1500, 500), process(3, 400, 100)},
         1000ms,
         {2, 3, 1},
         {200.0, 50.0, 10.0}},
        {"a reused pid or a new process starts from zero",
         {process(1, 0, 0, 1, ProcessRunState::running, 100), process(2, 0, 0)},
         {process(1, 900, 0, 1, ProcessRunState::running, 555), process(2, 100, 0),
          process(9, 5000, 5000)},
         1000ms,
         {2, 1, 9},
         {10.0, 0.0, 0.0}},
        {"six equal keep the first five in table order",
         {process(1, 0, 0), process(2, 0, 0), process(3, 0, 0), process(4, 0, 0), process(5, 0, 0),
          process(6, 0, 0)},
         {process(1, 0, 0), process(2, 500, 0), process(3, 500, 0), process(4, 500, 0),
          process(5, 500, 0), process(6, 500, 0)},
         500ms,
         {2, 3, 4, 5, 6},
         {100.0, 100.0, 100.0, 100.0, 100.0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeClock clock;
        ProcessRanking ranking(
            std::make_unique<ScriptedProcessSource>(std::deque<Table>{row.first, row.second}),
            clock);
        clock.advance(2s);
        for (const TopProcess& entry : ranking.sample().topByCpu) {
            EXPECT_EQ(entry.cpuPercent, 0.0) << "first sight of " << entry.id;
        }
        clock.advance(row.between);
        const ProcessStats second = ranking.sample();
        EXPECT_EQ(ids(second.topByCpu), row.byCpu);
        ASSERT_EQ(second.topByCpu.size(), row.percents.size());
        for (std::size_t i = 0; i < row.percents.size(); ++i) {
            EXPECT_NEAR(second.topByCpu[i].cpuPercent, row.percents[i], 1e-9) << "entry " << i;
        }
    }
}

TEST(ProcessRanking, MemoryListIsLargestFirstOnTheFirstCallAndNamelessProcessesAreLeftOut) {
    auto source = std::make_unique<ScriptedProcessSource>(std::deque<Table>{std::vector{
        process(1, 0, 0, 30), process(2, 0, 0, 500), process(3, 0, 0, 30), process(4, 0, 0, 7),
        process(5, 0, 0, 900), process(6, 0, 0, 30), process(7, 0, 0, 30), process(8, 0, 0, 30)}});
    source->names[3] = QString();
    FakeClock clock;
    ProcessRanking ranking(std::move(source), clock);
    clock.advance(2s);
    const ProcessStats stats = ranking.sample();
    EXPECT_EQ(ids(stats.topByMemory), (std::vector<std::int32_t>{5, 2, 1, 6, 7}));
    EXPECT_EQ(stats.topByMemory.front().memoryBytes, 900ull << 20);
    EXPECT_EQ(stats.topByMemory.front().name, "p5");
    EXPECT_EQ(ids(stats.topByCpu), (std::vector<std::int32_t>{1, 2, 4, 5, 6}));
}

TEST(ProcessRanking, AFailedReadGivesTheEmptyRecordAndKeepsTheBaseline) {
    FakeClock clock;
    ProcessRanking ranking(
        std::make_unique<ScriptedProcessSource>(std::deque<Table>{
            std::vector{process(1, 0, 0)}, std::nullopt, std::vector{process(1, 1500, 0)}}),
        clock);
    clock.advance(1s);
    ASSERT_EQ(ranking.sample().topByCpu.size(), 1);
    clock.advance(1s);
    EXPECT_EQ(ranking.sample(), ProcessStats{});
    clock.advance(2s);
    const ProcessStats stats = ranking.sample();
    ASSERT_EQ(stats.topByCpu.size(), 1);
    EXPECT_DOUBLE_EQ(stats.topByCpu.front().cpuPercent, 50.0) << "1.5 s of CPU over 3 s";
}

TEST(ProcessRanking, AProcessLeftOutOnceStartsOverFromZero) {
    FakeClock clock;
    ProcessRanking ranking(std::make_unique<ScriptedProcessSource>(std::deque<Table>{
                               std::vector{process(1, 0, 0)},
                               std::vector{process(1, 500, 0, 1, ProcessRunState::stopped)},
                               std::vector{process(1, 1000, 0)}, std::vector{process(1, 1500, 0)}}),
                           clock);
    for (const double expected : {0.0, -1.0, 0.0, 50.0}) {
        clock.advance(1s);
        const ProcessStats stats = ranking.sample();
        if (expected < 0) {
            EXPECT_TRUE(stats.topByCpu.isEmpty());
        } else {
            ASSERT_EQ(stats.topByCpu.size(), 1);
            EXPECT_DOUBLE_EQ(stats.topByCpu.front().cpuPercent, expected);
        }
    }
}

// --- the worker ---

// Records where and how often scans run; each scan reports its own number as a pid.
class ObservedSource final : public ProcessSource {
public:
    struct Observations {
        std::atomic<QThread*> thread{nullptr};
        std::atomic<int> running{0};
        std::atomic<int> mostAtOnce{0};
        std::atomic<int> scans{0};
        std::atomic<bool> destroyed{false};
        std::binary_semaphore started{0};
        std::binary_semaphore release{0};
        bool holdScans = false;
    };
    explicit ObservedSource(Observations& seen) : seen_(seen) {}
    ~ObservedSource() override { seen_.destroyed = true; }

    Table readProcesses() override {
        seen_.thread = QThread::currentThread();
        const int running = ++seen_.running;
        seen_.mostAtOnce = std::max(seen_.mostAtOnce.load(), running);
        const int scan = ++seen_.scans;
        if (seen_.holdScans) {
            seen_.started.release();
            seen_.release.acquire();
        }
        --seen_.running;
        return std::vector{process(scan, 0, 0)};
    }
    QString nameOf(const ProcessSample&) override { return QStringLiteral("observed"); }

private:
    Observations& seen_;
};

TEST(ProcessProvider, ScansOneAtATimeOnItsWorkerAndAnswersOnTheAwaitingThread) {
    FakeClock clock;
    ObservedSource::Observations seen;
    ProcessProvider provider(std::make_unique<ObservedSource>(seen), clock);
    std::vector<QThread*> resumedOn;
    auto poll = [&]() -> QCoro::Task<std::vector<std::int32_t>> {
        const ProcessStats stats = co_await provider.sample();
        resumedOn.push_back(QThread::currentThread());
        co_return ids(stats.topByCpu);
    };
    std::vector<QCoro::Task<std::vector<std::int32_t>>> polls;
    for (int i = 0; i < 4; ++i) {
        polls.push_back(poll());
    }
    for (std::int32_t scan = 1; scan <= 4; ++scan) {
        EXPECT_EQ(QCoro::waitFor(std::move(polls[static_cast<std::size_t>(scan - 1)])),
                  std::vector<std::int32_t>{scan});
    }
    EXPECT_EQ(seen.mostAtOnce.load(), 1);
    EXPECT_NE(seen.thread.load(), QThread::currentThread());
    EXPECT_EQ(resumedOn, std::vector<QThread*>(4, QThread::currentThread()));
}

TEST(ProcessProvider, DestroyedWhileScanningStillAnswersTheAwaitingPoll) {
    FakeClock clock;
    ObservedSource::Observations seen;
    seen.holdScans = true;
    auto provider =
        std::make_unique<ProcessProvider>(std::make_unique<ObservedSource>(seen), clock);
    auto poll = provider->sample();
    seen.started.acquire();  // the scan is under way on the worker

    std::atomic<bool> destroying{false};
    std::thread releaser([&] {
        while (!destroying) {
        }
        seen.release.release();
    });
    destroying = true;
    provider.reset();
    releaser.join();
    EXPECT_TRUE(seen.destroyed) << "the source goes with the last scan that used it";

    const ProcessStats stats = QCoro::waitFor(std::move(poll));
    EXPECT_EQ(ids(stats.topByCpu), std::vector<std::int32_t>{1});
}

}  // namespace
