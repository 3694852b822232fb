#pragma once

#include <bit>
#include <cstdint>
#include <string_view>
#include <vector>

// Writes frames byte by byte, independently of the encoder, so that tests pin the layout itself
// and can write every kind of broken frame.
class RawFrame {
public:
    static constexpr std::uint8_t kRequest = 1, kReply = 2;
    static constexpr std::uint8_t kFetchSensors = 1, kHelperVersion = 2;
    static constexpr std::uint8_t kReal = 1, kInteger = 2, kText = 3;
    static constexpr std::uint8_t kVersion = 2;
    // A channel's presence bits.
    static constexpr std::uint8_t kValue = 1, kMinimum = 2, kMaximum = 4, kCritical = 8;

    RawFrame(std::uint8_t kind, std::uint8_t request) {
        bytes_ = {'V', 'T', 'R', 'L', kVersion, kind, request, 0, 0, 0, 0, 0};
    }

    // A fetchSensors reply header followed by the class name and the entry count.
    static RawFrame sensorReply(std::uint8_t entries,
                                std::string_view className = "SensorReading") {
        RawFrame frame(kReply, kFetchSensors);
        frame.name(className).byte(entries);
        return frame;
    }

    RawFrame& byte(std::uint8_t value) {
        bytes_.push_back(value);
        return *this;
    }
    RawFrame& name(std::string_view text) {
        byte(static_cast<std::uint8_t>(text.size()));
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        return *this;
    }
    RawFrame& little64(std::uint64_t value) {
        for (int i = 0; i < 8; ++i) {
            byte(static_cast<std::uint8_t>(value >> (8 * i)));
        }
        return *this;
    }
    RawFrame& little16(std::uint16_t value) {
        return byte(static_cast<std::uint8_t>(value)).byte(static_cast<std::uint8_t>(value >> 8));
    }
    RawFrame& number(double value) { return little64(std::bit_cast<std::uint64_t>(value)); }
    // The channel list's count; the channels follow.
    RawFrame& channelCount(std::uint16_t count) { return little16(count); }
    // A channel's four texts, kind and presence byte; its values follow (number()).
    RawFrame& channel(std::string_view chip, std::string_view sensor, std::string_view chipName,
                      std::string_view label, std::uint8_t kind, std::uint8_t presence) {
        return name(chip).name(sensor).name(chipName).name(label).byte(kind).byte(presence);
    }
    RawFrame& real(std::string_view key, double value) {
        return name(key).byte(kReal).little64(std::bit_cast<std::uint64_t>(value));
    }
    RawFrame& integer(std::string_view key, std::int64_t value) {
        return name(key).byte(kInteger).little64(static_cast<std::uint64_t>(value));
    }
    RawFrame& text(std::string_view key, std::string_view value) {
        return name(key).byte(kText).name(value);
    }
    // Changes any byte already written, to break a field on purpose.
    RawFrame& set(std::size_t offset, std::uint8_t value) {
        bytes_.at(offset) = value;
        return *this;
    }

    // The frame with its length field telling its true size.
    std::vector<std::uint8_t> bytes() const {
        return withLength(static_cast<std::uint32_t>(bytes_.size()));
    }

    // The frame with whatever length field the test wants.
    std::vector<std::uint8_t> withLength(std::uint32_t length) const {
        auto out = bytes_;
        for (int i = 0; i < 4; ++i) {
            out[8 + i] = static_cast<std::uint8_t>(length >> (8 * i));
        }
        return out;
    }

private:
    std::vector<std::uint8_t> bytes_;
};
