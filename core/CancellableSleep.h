#pragma once

#include "core/Clock.h"

#include <chrono>
#include <coroutine>
#include <memory>

// A wait on a Clock that its owner may cut short.
class SleepInterrupter {
public:
    explicit SleepInterrupter(Clock& clock) : clock_(clock) {}

    struct Awaiter {
        SleepInterrupter& owner;
        std::chrono::nanoseconds delay;

        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> handle) {
            auto pending = std::make_shared<Pending>(handle);
            owner.pending_ = pending;
            owner.clock_.callAfter(delay, [pending] { pending->resume(); });
        }
        void await_resume() const noexcept {}
    };

    Awaiter sleepFor(std::chrono::nanoseconds delay) { return Awaiter{*this, delay}; }

    // Ends the current wait early, if there is one, on the next turn of the event loop.
    void interrupt() {
        if (auto pending = pending_.lock()) {
            clock_.callAfter(std::chrono::nanoseconds::zero(), [pending] { pending->resume(); });
        }
    }

    // Ends the current wait at once: the waiter runs inside this call.
    void interruptNow() {
        if (auto pending = pending_.lock()) {
            pending->resume();
        }
    }

private:
    struct Pending {
        explicit Pending(std::coroutine_handle<> h) : handle(h) {}
        void resume() {
            if (!done) {
                done = true;
                handle.resume();
            }
        }
        std::coroutine_handle<> handle;
        bool done = false;
    };

    Clock& clock_;
    std::weak_ptr<Pending> pending_;
};
