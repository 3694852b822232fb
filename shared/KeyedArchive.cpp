#include "shared/KeyedArchive.h"

#include "shared/ByteCursor.h"

#include <algorithm>
#include <array>
#include <bit>

namespace wire {
namespace {

bool isKeyCharacter(std::uint8_t byte) {
    return byte > 0x20 && byte < 0x7f;
}

bool isValidKey(std::string_view key) {
    return !key.empty() && key.size() <= kMaxKeyLength &&
           std::all_of(key.begin(), key.end(),
                       [](char c) { return isKeyCharacter(static_cast<std::uint8_t>(c)); });
}

std::string_view asText(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

void appendText(std::vector<std::uint8_t>& out, std::string_view text) {
    out.push_back(static_cast<std::uint8_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

struct ValueWriter {
    std::vector<std::uint8_t>& out;

    bool operator()(double value) const {
        out.push_back(static_cast<std::uint8_t>(ValueType::real));
        appendLittle(out, std::bit_cast<std::uint64_t>(value));
        return true;
    }
    bool operator()(std::int64_t value) const {
        out.push_back(static_cast<std::uint8_t>(ValueType::integer));
        appendLittle(out, static_cast<std::uint64_t>(value));
        return true;
    }
    bool operator()(std::string_view text) const {
        if (text.size() > 0xff) {
            return false;
        }
        out.push_back(static_cast<std::uint8_t>(ValueType::text));
        appendText(out, text);
        return true;
    }
};

std::optional<ArchiveValue> readValue(ByteCursor& cursor) {
    const auto type = cursor.u8();
    if (!type) {
        return std::nullopt;
    }
    switch (static_cast<ValueType>(*type)) {
        case ValueType::real:
            if (const auto bits = cursor.u64()) {
                return std::bit_cast<double>(*bits);
            }
            return std::nullopt;
        case ValueType::integer:
            if (const auto bits = cursor.u64()) {
                return static_cast<std::int64_t>(*bits);
            }
            return std::nullopt;
        case ValueType::text:
            if (const auto length = cursor.u8()) {
                if (const auto bytes = cursor.take(*length)) {
                    return asText(*bytes);
                }
            }
            return std::nullopt;
    }
    return std::nullopt;
}

// A name field: one length byte, then that many bytes, within [1, maxLength].
std::optional<std::string_view> readName(ByteCursor& cursor, std::size_t maxLength) {
    const auto length = cursor.u8();
    if (!length || *length == 0 || *length > maxLength) {
        return std::nullopt;
    }
    const auto bytes = cursor.take(*length);
    return bytes ? std::optional<std::string_view>(asText(*bytes)) : std::nullopt;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> encodeArchive(std::string_view className,
                                                       std::span<const ArchiveEntry> entries) {
    if (className.empty() || className.size() > kMaxClassNameLength ||
        entries.size() > kMaxEntries) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> body;
    appendText(body, className);
    body.push_back(static_cast<std::uint8_t>(entries.size()));
    for (const auto& entry : entries) {
        if (!isValidKey(entry.key)) {
            return std::nullopt;
        }
        appendText(body, entry.key);
        if (!std::visit(ValueWriter{body}, entry.value)) {
            return std::nullopt;
        }
    }
    return body;
}

bool decodeArchive(std::span<const std::uint8_t> body, std::string_view expectedClass,
                   ArchiveVisitor& visitor) {
    ByteCursor cursor(body);
    return decodeArchive(cursor, expectedClass, visitor) && cursor.atEnd();
}

bool decodeArchive(ByteCursor& cursor, std::string_view expectedClass, ArchiveVisitor& visitor) {
    const auto className = readName(cursor, kMaxClassNameLength);
    const auto count = cursor.u8();
    if (!className || *className != expectedClass || !count || *count > kMaxEntries) {
        return false;
    }
    std::array<std::string_view, kMaxEntries> seen;
    for (std::size_t index = 0; index < *count; ++index) {
        const auto key = readName(cursor, kMaxKeyLength);
        if (!key || !isValidKey(*key) ||
            std::find(seen.begin(), seen.begin() + index, *key) != seen.begin() + index) {
            return false;
        }
        seen[index] = *key;
        const auto value = readValue(cursor);
        if (!value || !visitor.entry(*key, *value)) {
            return false;
        }
    }
    return true;
}

}  // namespace wire
