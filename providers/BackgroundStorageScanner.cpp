#include "providers/BackgroundStorageScanner.h"

#include <QMetaObject>

#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

// What the scanner and its threads share. The receiver is cleared, under the mutex, before it
// is deleted, so a thread that sees it set can post to it safely.
struct BackgroundStorageScanner::Shared {
    std::mutex mutex;
    QObject* receiver = nullptr;
    std::atomic<bool> cancelled{false};
};

namespace {

void postResult(QObject* receiver, StorageScanner::Completion done, StorageScanResult result) {
    QMetaObject::invokeMethod(
        receiver,
        [done = std::move(done), result = std::move(result)]() mutable { done(std::move(result)); },
        Qt::QueuedConnection);
}

}  // namespace

BackgroundStorageScanner::BackgroundStorageScanner(std::shared_ptr<StorageSource> source,
                                                   std::function<void()> prepareThread)
    : source_(std::move(source)),
      prepareThread_(std::move(prepareThread)),
      shared_(std::make_shared<Shared>()),
      receiver_(std::make_unique<QObject>()) {
    shared_->receiver = receiver_.get();
}

BackgroundStorageScanner::~BackgroundStorageScanner() {
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->receiver = nullptr;
        shared_->cancelled.store(true);
    }
    shared_->cancelled.notify_all();
}

void BackgroundStorageScanner::start(Completion done) {
    auto work = [shared = shared_, source = source_, prepare = prepareThread_, done]() mutable {
        if (prepare) {
            prepare();
        }
        StorageScanResult result = scanStorage(*source, shared->cancelled);
        const std::lock_guard lock(shared->mutex);
        if (shared->receiver != nullptr && !shared->cancelled.load()) {
            postResult(shared->receiver, std::move(done), std::move(result));
        }
    };
    try {
        std::thread(std::move(work)).detach();
    } catch (const std::system_error&) {
        // No thread to be had: an empty result still ends the scan, so the next can start.
        postResult(receiver_.get(), std::move(done), {});
    }
}
