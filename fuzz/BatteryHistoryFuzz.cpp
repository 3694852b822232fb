#include "providers/BatteryHistoryJson.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// The battery health history file, as a crash, another version or the user may have left it.
// Whatever the decoder accepts must hold finite dates and must survive being written back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto history = decodeBatteryHistory(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!history) {
        return 0;
    }
    for (const auto& snapshot : *history) {
        if (!std::isfinite(snapshot.date)) {
            std::abort();
        }
    }
    if (decodeBatteryHistory(encodeBatteryHistory(*history)) != history) {
        std::abort();
    }
    return 0;
}
