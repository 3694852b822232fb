#include "providers/ProcessRanking.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>
#include <vector>

namespace {

// The first `count` positions of `entries` by `before`, ties kept in table order.
template <typename Before>
QVector<TopProcess> firstByOrder(const QVector<TopProcess>& entries, Before before) {
    std::vector<qsizetype> order(static_cast<std::size_t>(entries.size()));
    std::iota(order.begin(), order.end(), 0);
    const auto count = std::min<std::size_t>(order.size(), ProcessRanking::kListLength);
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(count),
                      order.end(), [&](qsizetype a, qsizetype b) {
                          if (before(entries[a], entries[b])) {
                              return true;
                          }
                          return !before(entries[b], entries[a]) && a < b;
                      });
    QVector<TopProcess> first;
    first.reserve(static_cast<qsizetype>(count));
    for (std::size_t i = 0; i < count; ++i) {
        first.append(entries[order[i]]);
    }
    return first;
}

}  // namespace

bool isRunningOrSleeping(ProcessRunState state) {
    return state == ProcessRunState::running || state == ProcessRunState::sleeping ||
           state == ProcessRunState::uninterruptible;
}

double cpuPercent(std::uint64_t previousUser, std::uint64_t previousSystem, std::uint64_t user,
                  std::uint64_t system, double elapsedSeconds) {
    if (!(elapsedSeconds > 0)) {
        return 0.0;
    }
    const std::uint64_t userGained = user > previousUser ? user - previousUser : 0;
    const std::uint64_t systemGained = system > previousSystem ? system - previousSystem : 0;
    const double percent = (static_cast<double>(userGained) + static_cast<double>(systemGained)) /
                           (elapsedSeconds * 1e9) * 100.0;
    return std::isfinite(percent) && percent > 0 ? percent : 0.0;
}

ProcessRanking::ProcessRanking(std::unique_ptr<ProcessSource> source, const Clock& clock)
    : source_(std::move(source)), clock_(clock), previousTime_(clock.steadyNow()) {}

ProcessStats ProcessRanking::sample() {
    const auto table = source_->readProcesses();
    if (!table) {
        return {};
    }
    const Clock::SteadyTime now = clock_.steadyNow();
    const double elapsed = secondsBetween(previousTime_, now);
    previousTime_ = now;

    std::unordered_map<Key, CpuTimes, KeyHash> currentTimes;
    currentTimes.reserve(previousTimes_.size() + 16);
    QVector<TopProcess> processes;
    processes.reserve(static_cast<qsizetype>(table->size()));
    for (const ProcessSample& process : *table) {
        if (!isRunningOrSleeping(process.state)) {
            continue;
        }
        QString name = source_->nameOf(process);
        if (name.isEmpty()) {
            continue;
        }
        const Key key{process.pid, process.startTime};
        currentTimes.insert_or_assign(key,
                                      CpuTimes{process.userNanoseconds, process.systemNanoseconds});
        double percent = 0.0;
        if (const auto previous = previousTimes_.find(key); previous != previousTimes_.end()) {
            percent = cpuPercent(previous->second.user, previous->second.system,
                                 process.userNanoseconds, process.systemNanoseconds, elapsed);
        }
        processes.append(TopProcess{process.pid, std::move(name), percent, process.residentBytes});
    }
    previousTimes_ = std::move(currentTimes);

    ProcessStats stats;
    stats.topByCpu = firstByOrder(processes, [](const TopProcess& a, const TopProcess& b) {
        return a.cpuPercent > b.cpuPercent;
    });
    stats.topByMemory = firstByOrder(processes, [](const TopProcess& a, const TopProcess& b) {
        return a.memoryBytes > b.memoryBytes;
    });
    return stats;
}
