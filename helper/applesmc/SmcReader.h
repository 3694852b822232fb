#pragma once

#include "helper/applesmc/SmcUserClient.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

// The key and type-name code: the first four bytes of the text, first byte most significant;
// a shorter text folds the bytes it has (the empty text gives 0).
std::uint32_t fourCharCode(std::string_view text);

// The data bytes of a read decoded by the first type of the table that matches `type`;
// absent for any other type.
std::optional<double> decodeSmcValue(std::uint32_t type, const std::array<std::uint8_t, 32>& bytes);

// The helper's only way to the SMC: opened once at start, then reads single keys as numbers.
// Reads keep nothing between calls, so they may run on several threads at once as far as
// the reader goes; a backend that needs it serialises its own work.
class SmcReader {
public:
    // Finds the first SMC on this system, or nullptr when there is none.
    using ServiceLookup = std::function<std::unique_ptr<SmcService>()>;

    explicit SmcReader(ServiceLookup lookup);

    // Opens the SMC; prints why to standard output when it cannot. A second call keeps the
    // first connection.
    bool open();
    bool isOpen() const { return connection_ != nullptr; }

    // One key by its four-character name: absent when not open, when a call fails, or when
    // its type is not one the reader decodes.
    std::optional<double> readKey(std::string_view key) const;

private:
    ServiceLookup lookup_;
    std::unique_ptr<SmcUserClient> connection_;
};
