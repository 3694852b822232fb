#include "app/shell/HelperInstallFlow.h"

#include "core/SystemMonitor.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

HelperInstallFlow::HelperInstallFlow(SystemMonitor& monitor, HelperInstallSteps steps,
                                     QObject* parent)
    : QObject(parent), monitor_(monitor), steps_(std::move(steps)) {}

HelperInstallFlow::~HelperInstallFlow() {
    // The program waits for its worker threads on the way out; a password dialog nobody
    // answers must not hold it.
    if (running_ && steps_.cancel) {
        steps_.cancel();
    }
}

void HelperInstallFlow::start() {
    if (running_ || done_ || !steps_.install) {
        return;
    }
    running_ = true;
    auto* attempt = new QFutureWatcher<bool>(this);
    connect(attempt, &QFutureWatcher<bool>::finished, this, [this, attempt] {
        attempt->deleteLater();
        finish(attempt->result());
    });
    attempt->setFuture(QtConcurrent::run(steps_.install));
}

void HelperInstallFlow::finish(bool installed) {
    running_ = false;
    monitor_.setHelperAvailable(installed);
    emit attemptFinished(installed);
    if (installed) {
        done_ = true;
    } else if (steps_.ask && steps_.ask() == HelperPromptAnswer::tryAgain) {
        start();
    } else {
        skipped_ = true;
        done_ = true;
    }
}
