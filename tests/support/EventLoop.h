#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <chrono>
#include <functional>

// Runs the event loop until `done` holds. The deadline only turns a hang into a failure; it
// is far beyond anything a working test needs.
inline bool runEventsUntil(const std::function<bool()>& done) {
    using namespace std::chrono_literals;
    const QDeadlineTimer hangGuard(60s);
    QTimer wakeUp;  // so that a condition changed by another thread is seen
    wakeUp.start(20ms);
    while (!done()) {
        if (hangGuard.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}
