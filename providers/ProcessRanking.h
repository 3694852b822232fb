#pragma once

#include "core/Clock.h"
#include "core/SampleRecords.h"
#include "platform/ProcessSource.h"

#include <cstdint>
#include <memory>
#include <unordered_map>

// The five busiest and the five largest of the current user's running and sleeping processes.
// CPU use is the change of each process's CPU time since the previous call over the time that
// passed; a process seen for the first time shows 0 %. Processes are told apart by pid and
// start time, so a pid handed to a new process starts from 0 % too.
class ProcessRanking {
public:
    static constexpr int kListLength = 5;

    // The time of creation counts as the previous call's for the first one. The clock is read
    // on the thread that samples, right after the table, so it must be safe to read there.
    ProcessRanking(std::unique_ptr<ProcessSource> source, const Clock& clock);

    // The empty record when the table cannot be read; the previous times are then kept.
    ProcessStats sample();

private:
    using Key = ProcessKey;
    using KeyHash = ProcessKeyHash;
    struct CpuTimes {
        std::uint64_t user = 0;
        std::uint64_t system = 0;
    };

    std::unique_ptr<ProcessSource> source_;
    const Clock& clock_;
    std::unordered_map<Key, CpuTimes, KeyHash> previousTimes_;
    Clock::SteadyTime previousTime_;
};

// Processes that are running or sleeping, in the kernel or not, take part; stopped, zombie,
// dead and idle ones do not.
bool isRunningOrSleeping(ProcessRunState state);

// Percent of one processor: the CPU time gained over `elapsedSeconds`. A counter that went
// down adds nothing; no time elapsed, or a result that is not a finite positive number, is 0.
double cpuPercent(std::uint64_t previousUser, std::uint64_t previousSystem, std::uint64_t user,
                  std::uint64_t system, double elapsedSeconds);
