#include "providers/ProcessProvider.h"

#include "providers/ProcessRanking.h"

#include "core/ResultHandOver.h"

ProcessProvider::ProcessProvider(std::unique_ptr<ProcessSource> source, const Clock& clock)
    : ranking_(std::make_shared<ProcessRanking>(std::move(source), clock)),
      worker_("ProcessProvider") {}

ProcessProvider::~ProcessProvider() = default;

QCoro::Task<ProcessStats> ProcessProvider::sample() {
    // The scan holds its own share of the ranking, and nothing of this object is touched after
    // the wait: the provider may be destroyed while the poll awaits.
    const ResultHandOver<ProcessStats> scanned;
    worker_.post([ranking = ranking_, scanned] { scanned.deliver(ranking->sample()); });
    co_return co_await scanned;
}
