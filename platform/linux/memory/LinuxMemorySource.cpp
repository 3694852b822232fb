#include "platform/linux/memory/LinuxMemorySource.h"

#include "core/SaturatingAdd.h"
#include "linux_io/CounterText.h"

#include <unistd.h>

#include <algorithm>
#include <initializer_list>

namespace {

// The page size of every Linux machine without a larger one configured.
constexpr std::uint64_t kCommonPageSize = 4096;

std::uint64_t systemPageSize() {
    const long size = ::sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<std::uint64_t>(size) : kCommonPageSize;
}

std::uint64_t sumKib(std::initializer_list<std::optional<std::uint64_t>> lines) {
    std::uint64_t sum = 0;
    for (const auto& line : lines) {
        sum = saturatingAdd(sum, line.value_or(0));
    }
    return sum;
}

// meminfo values are bounded well below the point where this could wrap.
std::uint64_t kibToBytes(std::uint64_t kib) {
    return kib * 1024;
}

// A partly used page still takes a whole page.
std::uint64_t bytesToPages(std::uint64_t bytes, std::uint64_t pageSize) {
    return bytes / pageSize + (bytes % pageSize != 0 ? 1 : 0);
}

}  // namespace

LinuxMemorySource::LinuxMemorySource(const std::filesystem::path& root, std::uint64_t pageSize)
    : pageSize_(pageSize != 0 ? pageSize : systemPageSize()),
      meminfo_(root),
      vmstat_(root),
      zram_(root) {}

std::optional<MemoryCounters> LinuxMemorySource::read() {
    const auto meminfo = meminfo_.read();
    if (!meminfo) {
        return std::nullopt;
    }
    const auto pagesOfKib = [this](std::uint64_t kib) {
        return bytesToPages(kibToBytes(kib), pageSize_);
    };

    MemoryCounters counters;
    counters.physicalBytes = kibToBytes(*meminfo->memTotal);
    const std::uint64_t kernelKib =
        sumKib({meminfo->unevictable, meminfo->sUnreclaim, meminfo->kernelStack,
                meminfo->pageTables, meminfo->secPageTables, meminfo->percpu});
    const std::uint64_t anonymousKib = sumKib({meminfo->activeAnon, meminfo->inactiveAnon});
    counters.activePages = pagesOfKib(anonymousKib);
    counters.cachedPages = pagesOfKib(sumKib({meminfo->activeFile, meminfo->inactiveFile}));
    counters.freePages = pagesOfKib(meminfo->memFree.value_or(0));
    // zswap and zram hold different pages (zswap sits in front of a swap device, zram is
    // one), so a machine using both holds the sum.
    const std::uint64_t compressedBytes =
        saturatingAdd(kibToBytes(meminfo->zswap.value_or(0)), zram_.compressedBytes());
    counters.compressedPages = bytesToPages(compressedBytes, pageSize_);

    // Wired is what applications cannot get back: the kernel's own memory and, where the
    // kernel says how much it would hand out (MemAvailable), also what it holds back beyond
    // that (watermark reserves, unreclaimable cache, driver memory no other line shows).
    // So used memory lands on free(1)'s "used" instead of falling short by up to a gigabyte.
    std::uint64_t wiredKib = kernelKib;
    if (meminfo->memAvailable) {
        const std::uint64_t unavailableKib =
            *meminfo->memTotal - std::min(*meminfo->memAvailable, *meminfo->memTotal);
        const std::uint64_t otherwiseUsedKib = saturatingAdd(anonymousKib, compressedBytes / 1024);
        if (unavailableKib > otherwiseUsedKib) {
            wiredKib = std::max(wiredKib, unavailableKib - otherwiseUsedKib);
        }
    }
    counters.wiredPages = pagesOfKib(wiredKib);

    if (meminfo->swapTotal && meminfo->swapFree) {
        counters.swapTotalBytes = kibToBytes(*meminfo->swapTotal);
        counters.swapUsedBytes =
            kibToBytes(*meminfo->swapTotal - std::min(*meminfo->swapFree, *meminfo->swapTotal));
    }

    const PagingCounters paging = vmstat_.read().value_or(PagingCounters{});
    counters.pageIns = paging.majorFaults;
    counters.pageOuts = paging.swapOuts;
    return counters;
}
