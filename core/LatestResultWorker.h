#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// Runs lookups that may block on a thread of its own, one at a time, and keeps the result of
// the latest finished one for the caller, who never waits for a lookup. A lookup asked for while
// one is running is not queued: the caller asks again at its next turn, so slow lookups never
// pile up. `State` (a reader with its open sockets or libraries) is used and destroyed only on
// the worker thread once the first lookup has started.
template <typename State, typename Result>
class LatestResultWorker {
public:
    using Lookup = std::function<Result(State&)>;

    explicit LatestResultWorker(std::unique_ptr<State> state) : state_(std::move(state)) {}

    // Lets the lookup in flight finish (it is never cut off half way), then ends the thread.
    ~LatestResultWorker() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            pending_ = nullptr;
        }
        wake_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    LatestResultWorker(const LatestResultWorker&) = delete;
    LatestResultWorker& operator=(const LatestResultWorker&) = delete;

    // Hands `lookup` to the worker unless one is still running; true when it was taken.
    bool startIfIdle(Lookup lookup) {
        {
            std::lock_guard lock(mutex_);
            if (busy_ || stopping_) {
                return false;
            }
            busy_ = true;
            pending_ = std::move(lookup);
            if (!thread_.joinable()) {
                thread_ = std::thread([this] { run(); });
            }
        }
        wake_.notify_all();
        return true;
    }

    // The result of the latest finished lookup; none before the first has finished.
    std::optional<Result> latest() const {
        std::lock_guard lock(mutex_);
        return latest_;
    }

    // Blocks until no lookup is running. For tests and one-shot callers, never for a poll.
    void waitUntilIdle() {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return !busy_; });
    }

private:
    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || pending_; });
            if (stopping_) {
                break;
            }
            Lookup lookup = std::move(pending_);
            pending_ = nullptr;
            lock.unlock();
            Result result = lookup(*state_);
            lock.lock();
            latest_ = std::move(result);
            busy_ = false;
            idle_.notify_all();
        }
        busy_ = false;
        idle_.notify_all();
        lock.unlock();
        state_.reset();  // closes the reader's sockets and libraries on the thread that used them
    }

    std::unique_ptr<State> state_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    Lookup pending_;
    std::optional<Result> latest_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;  // last: started lazily, joined before the members above go
};
