#pragma once

#include "core/Clock.h"

#include <chrono>

// How long a scraper's connection may stay silent.
struct ConnectionTimeLimits {
    // From the connection's start, or from the first byte after an answer, to the whole request.
    std::chrono::nanoseconds wholeRequest = std::chrono::seconds(10);
    // From an answer to the next request's first byte.
    std::chrono::nanoseconds idleAfterAnswer = std::chrono::seconds(60);
};

// When one connection is closed for slowness or silence. Bytes that trickle in during a request
// never push its deadline back, so a client sending one byte a second is still closed.
class ConnectionDeadline {
public:
    ConnectionDeadline(ConnectionTimeLimits limits, Clock::SteadyTime openedAt)
        : limits_(limits), deadline_(openedAt + limits.wholeRequest) {}

    void requestBytesArrived(Clock::SteadyTime now) {
        if (betweenRequests_) {
            betweenRequests_ = false;
            deadline_ = now + limits_.wholeRequest;
        }
    }

    void answered(Clock::SteadyTime now) {
        betweenRequests_ = true;
        deadline_ = now + limits_.idleAfterAnswer;
    }

    Clock::SteadyTime deadline() const { return deadline_; }
    bool expiredAt(Clock::SteadyTime now) const { return now >= deadline_; }

private:
    ConnectionTimeLimits limits_;
    Clock::SteadyTime deadline_;
    bool betweenRequests_ = false;
};
