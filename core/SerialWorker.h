#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

// One thread of its own that runs the jobs handed to it one after another, in the order given.
// Unlike a pool it never lets its thread expire, so whatever the jobs keep open is always used
// from the same thread, and a job handed over while the thread goes idle is never left waiting.
class SerialWorker {
public:
    explicit SerialWorker(std::string threadName);
    // Runs the jobs already handed over, then ends the thread.
    ~SerialWorker();
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    void post(std::function<void()> job);

private:
    void run();

    std::string threadName_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::thread thread_;  // last: started lazily, joined before the members above go
};
