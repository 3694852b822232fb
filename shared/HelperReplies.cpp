#include "shared/HelperReplies.h"

#include "shared/KeyedArchive.h"
#include "shared/SensorChannelList.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace wire {
namespace {

struct RealKey {
    std::string_view key;
    std::optional<double> SensorReading::*field;
};

constexpr std::array<RealKey, 13> kRealKeys = {{
    {"cpuT", &SensorReading::cpuTempCelsius},
    {"gpuT", &SensorReading::gpuTempCelsius},
    {"batT", &SensorReading::batteryTempCelsius},
    {"ssdT", &SensorReading::ssdTempCelsius},
    {"memT", &SensorReading::memoryTempCelsius},
    {"ambT", &SensorReading::ambientTempCelsius},
    {"ioT", &SensorReading::ioTempCelsius},
    {"cpuP", &SensorReading::cpuPowerWatts},
    {"gpuP", &SensorReading::gpuPowerWatts},
    {"sysP", &SensorReading::systemPowerWatts},
    {"chgP", &SensorReading::chargerPowerWatts},
    {"f0", &SensorReading::fan0Rpm},
    {"f1", &SensorReading::fan1Rpm},
}};
constexpr std::string_view kFanCountKey = "fc";

// The archive at its largest: the class, the count and every entry with its longest key.
constexpr std::size_t kMaxNamedFieldsBytes =
    1 + kSensorReadingClass.size() + 1 + (kRealKeys.size() + 1) * (1 + kMaxKeyLength + 1 + 8);
static_assert(kHeaderSize + kMaxNamedFieldsBytes + kMaxChannelListBytes <= kMaxFrameSize,
              "the largest fetchSensors reply must fit in a frame");

bool isPrintable(char c) {
    return c >= 0x20 && c < 0x7f;
}

// Fills a reading that starts with every field absent and no fans.
class ReadingVisitor final : public ArchiveVisitor {
public:
    SensorReading reading;

    bool entry(std::string_view key, const ArchiveValue& value) override {
        if (key == kFanCountKey) {
            const auto* count = std::get_if<std::int64_t>(&value);
            if (count != nullptr) {
                reading.fanCount = *count;
            }
            return count != nullptr;
        }
        const auto known = std::find_if(kRealKeys.begin(), kRealKeys.end(),
                                        [key](const RealKey& real) { return real.key == key; });
        if (known == kRealKeys.end()) {
            return true;
        }
        const auto* number = std::get_if<double>(&value);
        if (number == nullptr || !std::isfinite(*number)) {
            return false;
        }
        reading.*(known->field) = *number;
        return true;
    }
};

}  // namespace

Frame encodeSensorReply(const SensorReading& reading) {
    std::vector<ArchiveEntry> entries;
    entries.reserve(kRealKeys.size() + 1);
    for (const auto& real : kRealKeys) {
        const auto value = reading.*(real.field);
        if (value && std::isfinite(*value)) {
            entries.push_back({real.key, *value});
        }
    }
    entries.push_back({kFanCountKey, reading.fanCount});
    // The class, the keys and the count are fixed and within the format's limits, and the
    // whole reply within the frame's (asserted above).
    auto body = *encodeArchive(kSensorReadingClass, entries);
    appendChannelList(body, reading.channels);
    return *encodeFrame(FrameKind::reply, Request::fetchSensors, body);
}

std::optional<SensorReading> decodeSensorReply(Bytes frame) {
    const auto body = frameBody(frame, FrameKind::reply, Request::fetchSensors);
    if (!body) {
        return std::nullopt;
    }
    ByteCursor cursor(*body);
    ReadingVisitor visitor;
    if (!decodeArchive(cursor, kSensorReadingClass, visitor)) {
        return std::nullopt;
    }
    auto channels = readChannelList(cursor);
    if (!channels || !cursor.atEnd()) {
        return std::nullopt;
    }
    visitor.reading.channels = std::move(*channels);
    return visitor.reading;
}

std::optional<Frame> encodeVersionReply(std::string_view version) {
    if (version.empty() || version.size() > kMaxVersionLength ||
        !std::all_of(version.begin(), version.end(), isPrintable)) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> body;
    body.push_back(static_cast<std::uint8_t>(version.size()));
    body.insert(body.end(), version.begin(), version.end());
    return encodeFrame(FrameKind::reply, Request::helperVersion, body);
}

std::optional<std::string> decodeVersionReply(Bytes frame) {
    const auto body = frameBody(frame, FrameKind::reply, Request::helperVersion);
    if (!body || body->empty() || (*body)[0] == 0 || (*body)[0] > kMaxVersionLength ||
        body->size() != 1u + (*body)[0]) {
        return std::nullopt;
    }
    std::string version(reinterpret_cast<const char*>(body->data() + 1), body->size() - 1);
    if (!std::all_of(version.begin(), version.end(), isPrintable)) {
        return std::nullopt;
    }
    return version;
}

}  // namespace wire
