#include "status_list/StatusItemCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>

// The stored status item list, as another version or a hand edit may have left it. Whatever the
// decoder accepts names each metric once and must survive being written back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto items = decodeStatusItemEntriesText(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!items) {
        return 0;
    }
    std::set<StatusMetric> metrics;
    for (const auto& item : *items) {
        if (!metrics.insert(item.metric).second) {
            std::abort();
        }
    }
    if (decodeStatusItemEntriesText(encodeStatusItemEntriesText(*items)) != items ||
        decodeStatusItemEntries(encodeStatusItemEntries(*items)) != items) {
        std::abort();
    }
    return 0;
}
