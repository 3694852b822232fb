#pragma once

#include "platform/StorageSource.h"
#include "providers/StorageScanner.h"

#include <QObject>

#include <functional>
#include <memory>

// Scans on a thread of its own, started for each scan, so that the lowered priority of one
// scan never outlives it. The result comes back through the event loop of the thread that
// made the scanner. Destroying the scanner cancels a scan in flight and abandons its thread:
// the walk stops at its next entry and its result is dropped, never delivered.
class BackgroundStorageScanner final : public StorageScanner {
public:
    // `prepareThread` runs first on every scan thread, to lower its priority.
    BackgroundStorageScanner(std::shared_ptr<StorageSource> source,
                             std::function<void()> prepareThread);
    ~BackgroundStorageScanner() override;
    BackgroundStorageScanner(const BackgroundStorageScanner&) = delete;
    BackgroundStorageScanner& operator=(const BackgroundStorageScanner&) = delete;

    void start(Completion done) override;

private:
    struct Shared;

    std::shared_ptr<StorageSource> source_;
    std::function<void()> prepareThread_;
    std::shared_ptr<Shared> shared_;
    // Results are posted to this object; deleting it discards any still queued.
    std::unique_ptr<QObject> receiver_;
};
