#include "shared/SensorChannelList.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

namespace wire {
namespace {

constexpr std::uint8_t kKnownPresenceBits = 0x0f;
// A one-byte chip and sensor, no chip name or label, the kind and presence bytes.
constexpr std::size_t kMinChannelBytes = 8;

using Measure = std::optional<double> SensorChannel::*;
// In the order of the presence bits and of the values on the wire.
constexpr std::array<Measure, 4> kMeasures = {&SensorChannel::value, &SensorChannel::minimum,
                                              &SensorChannel::maximum, &SensorChannel::critical};

bool isControl(char c) {
    const auto byte = static_cast<std::uint8_t>(c);
    return byte < 0x20 || byte == 0x7f;
}

bool isContinuationByte(char c) {
    return (static_cast<std::uint8_t>(c) & 0xc0) == 0x80;
}

bool isKnownKind(std::uint8_t kind) {
    return kind >= static_cast<std::uint8_t>(SensorKind::temperature) &&
           kind <= static_cast<std::uint8_t>(SensorKind::energy);
}

void appendText(std::vector<std::uint8_t>& out, const std::string& text) {
    out.push_back(static_cast<std::uint8_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

void appendChannel(std::vector<std::uint8_t>& out, const SensorChannel& channel,
                   const std::string& chip, const std::string& sensor) {
    appendText(out, chip);
    appendText(out, sensor);
    appendText(out, sanitizedChannelText(channel.chipName));
    appendText(out, sanitizedChannelText(channel.label));
    out.push_back(static_cast<std::uint8_t>(channel.kind));
    std::uint8_t presence = 0;
    for (std::size_t bit = 0; bit < kMeasures.size(); ++bit) {
        const auto& measure = channel.*kMeasures[bit];
        if (measure && std::isfinite(*measure)) {
            presence |= static_cast<std::uint8_t>(1u << bit);
        }
    }
    out.push_back(presence);
    for (std::size_t bit = 0; bit < kMeasures.size(); ++bit) {
        if ((presence & (1u << bit)) != 0) {
            appendLittle(out, std::bit_cast<std::uint64_t>(*(channel.*kMeasures[bit])));
        }
    }
}

std::optional<std::string> readText(ByteCursor& cursor, bool mayBeEmpty) {
    const auto length = cursor.u8();
    if (!length || *length > kMaxChannelText || (*length == 0 && !mayBeEmpty)) {
        return std::nullopt;
    }
    const auto bytes = cursor.take(*length);
    if (!bytes) {
        return std::nullopt;
    }
    std::string text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    if (std::any_of(text.begin(), text.end(), isControl)) {
        return std::nullopt;
    }
    return text;
}

std::optional<SensorChannel> readChannel(ByteCursor& cursor) {
    SensorChannel channel;
    auto chip = readText(cursor, false);
    auto sensor = chip ? readText(cursor, false) : std::nullopt;
    auto chipName = sensor ? readText(cursor, true) : std::nullopt;
    auto label = chipName ? readText(cursor, true) : std::nullopt;
    const auto kind = label ? cursor.u8() : std::nullopt;
    const auto presence = kind ? cursor.u8() : std::nullopt;
    if (!presence || !isKnownKind(*kind) || (*presence & ~kKnownPresenceBits) != 0) {
        return std::nullopt;
    }
    channel.chip = std::move(*chip);
    channel.sensor = std::move(*sensor);
    channel.chipName = std::move(*chipName);
    channel.label = std::move(*label);
    channel.kind = static_cast<SensorKind>(*kind);
    for (std::size_t bit = 0; bit < kMeasures.size(); ++bit) {
        if ((*presence & (1u << bit)) == 0) {
            continue;
        }
        const auto bits = cursor.u64();
        if (!bits || !std::isfinite(std::bit_cast<double>(*bits))) {
            return std::nullopt;
        }
        channel.*kMeasures[bit] = std::bit_cast<double>(*bits);
    }
    return channel;
}

}  // namespace

std::string sanitizedChannelText(std::string_view text) {
    std::string kept;
    kept.reserve(std::min(text.size(), kMaxChannelText + 1));
    for (const char c : text) {
        if (!isControl(c)) {
            kept.push_back(c);
        }
        if (kept.size() > kMaxChannelText) {
            break;
        }
    }
    if (kept.size() > kMaxChannelText) {
        std::size_t cut = kMaxChannelText;
        while (cut > 0 && isContinuationByte(kept[cut])) {
            --cut;
        }
        kept.resize(cut);
    }
    return kept;
}

void appendChannelList(std::vector<std::uint8_t>& out, std::span<const SensorChannel> channels) {
    const std::size_t countAt = out.size();
    out.resize(out.size() + 2);
    std::uint16_t written = 0;
    for (const auto& channel : channels) {
        if (written == kMaxChannels) {
            break;
        }
        const auto chip = sanitizedChannelText(channel.chip);
        const auto sensor = sanitizedChannelText(channel.sensor);
        if (chip.empty() || sensor.empty() ||
            !isKnownKind(static_cast<std::uint8_t>(channel.kind))) {
            continue;
        }
        appendChannel(out, channel, chip, sensor);
        ++written;
    }
    out[countAt] = static_cast<std::uint8_t>(written);
    out[countAt + 1] = static_cast<std::uint8_t>(written >> 8);
}

std::optional<std::vector<SensorChannel>> readChannelList(ByteCursor& cursor) {
    const auto count = cursor.u16();
    if (!count || *count > kMaxChannels) {
        return std::nullopt;
    }
    std::vector<SensorChannel> channels;
    // A count the bytes cannot hold reserves no more than the bytes could.
    channels.reserve(std::min<std::size_t>(*count, cursor.remaining() / kMinChannelBytes));
    for (std::size_t index = 0; index < *count; ++index) {
        auto channel = readChannel(cursor);
        if (!channel) {
            return std::nullopt;
        }
        channels.push_back(std::move(*channel));
    }
    return channels;
}

}  // namespace wire
