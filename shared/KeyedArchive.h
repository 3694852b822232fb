#pragma once

#include <cstddef>
#include <cstdint>
#include "shared/ByteCursor.h"

#include <optional>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

// The body of a reply that carries an object: the object's class name, then its values under
// keys, each with its type.
//
//   1 byte          class name length (1..kMaxClassNameLength), then the name
//   1 byte          entry count (0..kMaxEntries)
//   per entry:      1 byte key length (1..kMaxKeyLength), the key (printable ASCII, no space),
//                   1 byte type, the value:
//                     type 1 double:   8 bytes, IEEE 754 binary64, little-endian
//                     type 2 integer:  8 bytes, two's-complement signed 64-bit, little-endian
//                     type 3 text:     1 byte length, then that many bytes
//
// Every byte of the body belongs to exactly one of these fields: trailing bytes, a key that
// appears twice, an unknown type or a length that runs past the body make the body invalid.
namespace wire {

inline constexpr std::size_t kMaxClassNameLength = 64;
inline constexpr std::size_t kMaxEntries = 32;
inline constexpr std::size_t kMaxKeyLength = 16;

enum class ValueType : std::uint8_t { real = 1, integer = 2, text = 3 };

using ArchiveValue = std::variant<double, std::int64_t, std::string_view>;

struct ArchiveEntry {
    std::string_view key;
    ArchiveValue value;
};

// The body for `className` and `entries`; nothing when a name, key, text or the count is out
// of the ranges above (duplicate keys are the caller's to avoid: tests write them on purpose).
std::optional<std::vector<std::uint8_t>> encodeArchive(std::string_view className,
                                                       std::span<const ArchiveEntry> entries);

// Receives the entries of a body being decoded. Returning false rejects the whole body.
class ArchiveVisitor {
public:
    virtual bool entry(std::string_view key, const ArchiveValue& value) = 0;

protected:
    ~ArchiveVisitor() = default;
};

// Walks `body`, whose class must be `expectedClass`, handing each entry to `visitor`. False
// when the body is malformed in any way or the visitor refused an entry. Allocates nothing.
bool decodeArchive(std::span<const std::uint8_t> body, std::string_view expectedClass,
                   ArchiveVisitor& visitor);

// The same for an archive at the cursor that other fields follow: on success the cursor stands
// just past the archive.
bool decodeArchive(ByteCursor& cursor, std::string_view expectedClass, ArchiveVisitor& visitor);

}  // namespace wire
