#include "shared/HelperReplies.h"

#include "shared/KeyedArchive.h"

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

bool isPrintable(char c) {
    return c >= 0x20 && c < 0x7f;
}

// Fills a reading that starts all zero, as a reading decoded from nothing would be.
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
    std::array<ArchiveEntry, kRealKeys.size() + 1> entries;
    for (std::size_t i = 0; i < kRealKeys.size(); ++i) {
        const auto value = reading.*(kRealKeys[i].field);
        entries[i] = {kRealKeys[i].key, value && std::isfinite(*value) ? *value : -1.0};
    }
    entries.back() = {kFanCountKey, reading.fanCount};
    // The class, the keys and the count are fixed and within the format's limits.
    const auto body = encodeArchive(kSensorReadingClass, entries);
    return *encodeFrame(FrameKind::reply, Request::fetchSensors, *body);
}

std::optional<SensorReading> decodeSensorReply(Bytes frame) {
    const auto body = frameBody(frame, FrameKind::reply, Request::fetchSensors);
    ReadingVisitor visitor;
    if (!body || !decodeArchive(*body, kSensorReadingClass, visitor)) {
        return std::nullopt;
    }
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
