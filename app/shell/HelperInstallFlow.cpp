#include "app/shell/HelperInstallFlow.h"

#include "core/SystemMonitor.h"

#include <QFutureWatcher>
#include <QPointer>
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
    if (running_ || asking_ || done_ || !steps_.install) {
        return;
    }
    running_ = true;
    auto* attempt = new QFutureWatcher<HelperInstallOutcome>(this);
    connect(attempt, &QFutureWatcher<HelperInstallOutcome>::finished, this, [this, attempt] {
        attempt->deleteLater();
        finish(attempt->result());
    });
    attempt->setFuture(QtConcurrent::run(steps_.install));
}

void HelperInstallFlow::finish(HelperInstallOutcome outcome) {
    running_ = false;
    const bool installed = outcome == HelperInstallOutcome::installed;
    monitor_.setHelperAvailable(installed);
    emit attemptFinished(installed);
    if (installed) {
        done_ = true;
        return;
    }
    if (!steps_.ask) {
        answer(HelperPromptAnswer::skipForNow);
        return;
    }
    asking_ = true;
    // The prompt may outlive the flow (the program quits while it is up).
    steps_.ask(outcome, [flow = QPointer(this), outcome](HelperPromptAnswer given) {
        if (flow) {
            flow->answer(outcome == HelperInstallOutcome::pkexecMissing
                             ? HelperPromptAnswer::skipForNow
                             : given);
        }
    });
}

void HelperInstallFlow::answer(HelperPromptAnswer answer) {
    asking_ = false;
    if (answer == HelperPromptAnswer::tryAgain) {
        start();
        return;
    }
    skipped_ = true;
    done_ = true;
}
