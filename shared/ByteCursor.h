#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// Reads little-endian fields from a byte span and never past its end: a read that does not fit
// fails and leaves the cursor where it was.
namespace wire {

class ByteCursor {
public:
    explicit ByteCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t remaining() const { return bytes_.size() - offset_; }
    bool atEnd() const { return offset_ == bytes_.size(); }

    std::optional<std::span<const std::uint8_t>> take(std::size_t count) {
        if (count > remaining()) {
            return std::nullopt;
        }
        const auto taken = bytes_.subspan(offset_, count);
        offset_ += count;
        return taken;
    }

    std::optional<std::uint8_t> u8() {
        const auto bytes = take(1);
        return bytes ? std::optional<std::uint8_t>((*bytes)[0]) : std::nullopt;
    }

    std::optional<std::uint16_t> u16() { return little<std::uint16_t>(); }
    std::optional<std::uint32_t> u32() { return little<std::uint32_t>(); }
    std::optional<std::uint64_t> u64() { return little<std::uint64_t>(); }

private:
    template <typename Unsigned>
    std::optional<Unsigned> little() {
        const auto bytes = take(sizeof(Unsigned));
        if (!bytes) {
            return std::nullopt;
        }
        Unsigned value = 0;
        for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
            value |= static_cast<Unsigned>((*bytes)[i]) << (8 * i);
        }
        return value;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
};

template <typename Unsigned, typename Container>
void appendLittle(Container& out, Unsigned value) {
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

}  // namespace wire
