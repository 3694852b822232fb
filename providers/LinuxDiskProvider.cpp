#include "providers/LinuxDiskProvider.h"

#include "platform/linux/LinuxDiskSource.h"
#include "platform/linux/LinuxStorageSource.h"
#include "platform/linux/ThreadPriority.h"
#include "providers/BackgroundStorageScanner.h"

std::unique_ptr<DiskProvider> makeLinuxDiskProvider(Clock& clock, NotificationCenter& center) {
    auto scanner = std::make_unique<BackgroundStorageScanner>(
        std::make_shared<LinuxStorageSource>(currentStorageLocations()),
        [] { moveCurrentThreadToBackground(); });
    return std::make_unique<DiskProvider>(clock, center, makeLinuxDiskSource(), std::move(scanner));
}
