#pragma once

#include "shared/ByteCursor.h"
#include "shared/SensorReading.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The list of every sensor channel, as it follows the named fields in a fetchSensors reply:
//
//   2 bytes         channel count (0..kMaxChannels)
//   per channel:    chip, sensor, chipName, label: each 1 byte length (0..kMaxChannelText),
//                   then that many bytes, none of them a control character (below 0x20, or
//                   0x7f); chip and sensor are never empty
//                   1 byte kind: 1 temperature, 2 fan, 3 voltage, 4 current, 5 power, 6 energy
//                   1 byte presence: bit 0 value, bit 1 minimum, bit 2 maximum, bit 3 critical;
//                   the other bits 0
//                   8 bytes for each value present, in that order: IEEE 754 binary64,
//                   little-endian, finite
namespace wire {

inline constexpr std::size_t kMaxChannels = 512;
inline constexpr std::size_t kMaxChannelText = 64;
// The most one channel can take on the wire.
inline constexpr std::size_t kMaxChannelBytes = 4 * (1 + kMaxChannelText) + 2 + 4 * 8;
inline constexpr std::size_t kMaxChannelListBytes = 2 + kMaxChannels * kMaxChannelBytes;

// `text` without its control characters, cut to at most kMaxChannelText bytes where no UTF-8
// character is split.
std::string sanitizedChannelText(std::string_view text);

// Appends `channels` as the list above. Whatever it is given, what it writes decodes: texts
// are sanitised, values that are not finite are left out, a channel without a chip or sensor
// or of an unknown kind is skipped, and the list stops at kMaxChannels.
void appendChannelList(std::vector<std::uint8_t>& out, std::span<const SensorChannel> channels);

// The list at the cursor, which then stands just past it; nothing when any field is out of
// the ranges above or runs past the bytes.
std::optional<std::vector<SensorChannel>> readChannelList(ByteCursor& cursor);

}  // namespace wire
