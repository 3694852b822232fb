#include "core/SerialWorker.h"

#include <pthread.h>

#include <utility>

SerialWorker::SerialWorker(std::string threadName) : threadName_(std::move(threadName)) {}

SerialWorker::~SerialWorker() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void SerialWorker::post(std::function<void()> job) {
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
        if (!thread_.joinable()) {
            thread_ = std::thread([this] { run(); });
        }
    }
    wake_.notify_all();
}

void SerialWorker::run() {
    // The kernel keeps 15 characters of a thread's name; a longer one is refused whole.
    pthread_setname_np(pthread_self(), threadName_.substr(0, 15).c_str());
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) {
            return;  // stopping, with nothing left to do
        }
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        job = nullptr;  // what the job held goes on this thread, before the next one starts
        lock.lock();
    }
}
