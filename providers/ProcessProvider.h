#pragma once

#include "core/Clock.h"
#include "core/ProviderInterfaces.h"
#include "core/SerialWorker.h"
#include "platform/ProcessSource.h"

#include <filesystem>
#include <memory>

class ProcessRanking;

// The top-process lists, gathered on a serial worker of the provider's own so the poll never
// waits on the process table on the main thread. Everything a scan touches (the source, its
// kept descriptors and names, the previous CPU times) belongs to the worker; the awaiting poll
// resumes on its own thread.
class ProcessProvider final : public ProcessSampler {
public:
    // The first sample measures CPU use from now. `clock` is read on the worker too, and must
    // outlive the provider.
    ProcessProvider(std::unique_ptr<ProcessSource> source, const Clock& clock);
    // Waits for a scan in progress to finish; the result still reaches its awaiting poll.
    ~ProcessProvider() override;

    QCoro::Task<ProcessStats> sample() override;

private:
    std::shared_ptr<ProcessRanking> ranking_;
    SerialWorker worker_;  // last: joined before the ranking goes
};
