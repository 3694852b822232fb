#pragma once

#include "platform/MemorySource.h"
#include "platform/linux/memory/MeminfoReader.h"
#include "platform/linux/memory/VmstatReader.h"
#include "platform/linux/memory/ZramReader.h"

#include <filesystem>

// The memory counters of a Linux machine, put together so that used memory (wired + active +
// compressed) lands near the "used" of free(1):
//   wired      = Unevictable + SUnreclaim + KernelStack + PageTables + SecPageTables + Percpu
//   active     = anonymous memory, Active(anon) + Inactive(anon)
//   cached     = page cache, Active(file) + Inactive(file)
//   compressed = the zswap pool plus the compressed data of every zram device
//   free       = MemFree
//   swap       = SwapTotal, and SwapTotal - SwapFree in use (zram swap included)
//   page-ins   = major faults, page-outs = pages swapped out
class LinuxMemorySource final : public MemorySource {
public:
    // pageSize 0 takes the system's page size.
    explicit LinuxMemorySource(const std::filesystem::path& root = "/", std::uint64_t pageSize = 0);

    std::uint64_t pageSize() const override { return pageSize_; }
    // Empty when meminfo cannot be read or has no MemTotal. Unreadable vmstat gives zero
    // paging counts; swap is 0 unless both of its lines were read.
    std::optional<MemoryCounters> read() override;

private:
    std::uint64_t pageSize_;
    MeminfoReader meminfo_;
    VmstatReader vmstat_;
    ZramReader zram_;
};
