#include "providers/ProcessProvider.h"

#include "providers/ProcessRanking.h"

#include <QCoroFuture>
#include <QtConcurrent/QtConcurrentRun>

ProcessProvider::ProcessProvider(std::unique_ptr<ProcessSource> source, const Clock& clock)
    : ranking_(std::make_shared<ProcessRanking>(std::move(source), clock)) {
    worker_.setMaxThreadCount(1);  // one scan at a time, in the order asked for
    worker_.setExpiryTimeout(-1);  // the same thread from one poll to the next
    worker_.setObjectName(QStringLiteral("ProcessProvider"));
}

ProcessProvider::~ProcessProvider() {
    worker_.waitForDone();
}

QCoro::Task<ProcessStats> ProcessProvider::sample() {
    // The scan holds its own share of the ranking, and nothing of this object is touched after
    // the wait: the provider may be destroyed while the poll awaits.
    QFuture<ProcessStats> scan =
        QtConcurrent::run(&worker_, [ranking = ranking_] { return ranking->sample(); });
    co_return co_await scan;
}
