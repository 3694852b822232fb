#include "core/Clock.h"

#include <QTimer>

void SystemClock::callAfter(std::chrono::nanoseconds delay, std::function<void()> callback) {
    // Round up so a wait never ends early; coarse timers let the kernel batch wake-ups.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(delay);
    const auto type = ms >= std::chrono::seconds(1) ? Qt::CoarseTimer : Qt::PreciseTimer;
    QTimer::singleShot(ms, type, &timerContext_, std::move(callback));
}
