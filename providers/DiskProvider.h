#pragma once

#include "core/Clock.h"
#include "core/ProviderInterfaces.h"
#include "platform/DiskSource.h"
#include "providers/StorageScanner.h"

#include <chrono>
#include <memory>
#include <optional>
#include <utility>

// One DiskStats per poll: the startup volume's space and the throughput of the physical disks
// are read on every call; the storage categories and the other volumes come from a background
// scan started at most once a minute, and never sooner after the last start than twenty times
// that scan's duration, so scanning takes at most 5 % of the time. The record carries the
// last finished scan's lists; a finished scan hands them to the scan listener. Runs on the main
// thread.
class DiskProvider final : public DiskSampler {
public:
    static constexpr std::chrono::seconds scanInterval{60};
    static constexpr int scanBackoffFactor = 20;

    DiskProvider(Clock& clock, std::unique_ptr<DiskSource> source,
                 std::unique_ptr<StorageScanner> scanner);

    DiskStats sample() override;
    void setScanListener(ScanListener listener) override { scanListener_ = std::move(listener); }

    bool scanInProgress() const { return scanInProgress_; }

private:
    struct Throughput {
        double readBytesPerSec = 0;
        double writeBytesPerSec = 0;
    };

    Throughput readThroughput();
    void startScanIfDue(Clock::SteadyTime now);
    void finishScan(StorageScanResult result);

    Clock& clock_;
    std::unique_ptr<DiskSource> source_;

    std::uint64_t prevReadBytes_ = 0;
    std::uint64_t prevWriteBytes_ = 0;
    Clock::SteadyTime prevTime_;
    QVector<StorageCategory> cachedCategories_;
    QVector<VolumeInfo> cachedVolumes_;
    std::optional<Clock::SteadyTime> lastCategoryScan_;  // none: the distant past
    Clock::SteadyTime::duration lastScanDuration_{0};
    bool scanInProgress_ = false;
    ScanListener scanListener_;

    // Last, so it goes first: a scan result can never reach a half-destroyed provider.
    std::unique_ptr<StorageScanner> scanner_;
};

// Rate of a cumulative byte counter: 0 when no time passed or the counter went backwards
// (a disk went away).
double byteCounterRate(std::uint64_t previous, std::uint64_t current, double elapsedSeconds);
