#include "providers/DiskProvider.h"

#include "core/SaturatingAdd.h"

#include <algorithm>
#include <utility>

DiskProvider::DiskProvider(Clock& clock, std::unique_ptr<DiskSource> source,
                           std::unique_ptr<StorageScanner> scanner)
    : clock_(clock),
      source_(std::move(source)),
      prevTime_(clock.steadyNow()),
      scanner_(std::move(scanner)) {}

DiskStats DiskProvider::sample() {
    const VolumeCapacity capacity = source_->startupVolumeCapacity().value_or(VolumeCapacity{});
    const Throughput throughput = readThroughput();
    startScanIfDue(clock_.steadyNow());

    DiskStats stats;
    stats.totalBytes = capacity.totalBytes;
    stats.availableBytes = capacity.availableForImportantUsageBytes;
    // Counted as df counts it: the blocks reserved for root are not in use, so used is total
    // minus free, never negative even if a file system reports more free than total.
    stats.usedBytes = std::max<std::int64_t>(
        0, capacity.totalBytes - std::max<std::int64_t>(0, capacity.freeBytes));
    stats.purgeableBytes = std::max<std::int64_t>(
        0, capacity.availableForImportantUsageBytes - capacity.availableBytes);
    stats.readBytesPerSec = throughput.readBytesPerSec;
    stats.writeBytesPerSec = throughput.writeBytesPerSec;
    stats.categories = cachedCategories_;
    stats.volumes = cachedVolumes_;
    return stats;
}

DiskProvider::Throughput DiskProvider::readThroughput() {
    const auto devices = source_->blockDeviceCounters();
    if (!devices) {
        return {};  // nothing read: the next reading measures over the whole gap
    }
    std::uint64_t bytesRead = 0;
    std::uint64_t bytesWritten = 0;
    for (const BlockDeviceCounters& device : *devices) {
        bytesRead = saturatingAdd(bytesRead, device.bytesRead);
        bytesWritten = saturatingAdd(bytesWritten, device.bytesWritten);
    }
    const Clock::SteadyTime now = clock_.steadyNow();
    const double elapsed = secondsBetween(prevTime_, now);
    Throughput throughput;
    if (prevReadBytes_ != 0) {  // 0: no earlier reading
        throughput.readBytesPerSec = byteCounterRate(prevReadBytes_, bytesRead, elapsed);
        throughput.writeBytesPerSec = byteCounterRate(prevWriteBytes_, bytesWritten, elapsed);
    }
    prevReadBytes_ = bytesRead;
    prevWriteBytes_ = bytesWritten;
    prevTime_ = now;
    return throughput;
}

void DiskProvider::startScanIfDue(Clock::SteadyTime now) {
    if (scanInProgress_) {
        return;
    }
    if (lastCategoryScan_) {
        const auto sinceLast = now - *lastCategoryScan_;
        if (sinceLast <= scanInterval || sinceLast < scanBackoffFactor * lastScanDuration_) {
            return;
        }
    }
    scanInProgress_ = true;
    lastCategoryScan_ = now;
    scanner_->start([this](StorageScanResult result) { finishScan(std::move(result)); });
}

void DiskProvider::finishScan(StorageScanResult result) {
    // Measured on this thread, hand-back included, so the back-off errs on the long side.
    lastScanDuration_ = clock_.steadyNow() - lastCategoryScan_.value_or(clock_.steadyNow());
    cachedCategories_ = std::move(result.categories);
    cachedVolumes_ = std::move(result.volumes);
    scanInProgress_ = false;
    if (scanListener_) {
        scanListener_(cachedCategories_, cachedVolumes_);
    }
}

double byteCounterRate(std::uint64_t previous, std::uint64_t current, double elapsedSeconds) {
    if (elapsedSeconds <= 0 || current < previous) {
        return 0;
    }
    return static_cast<double>(current - previous) / elapsedSeconds;
}
