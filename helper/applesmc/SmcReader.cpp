#include "helper/applesmc/SmcReader.h"

#include "helper/applesmc/SmcParameterBlock.h"

#include <bit>
#include <cstdio>
#include <utility>

namespace {

std::uint16_t bigEndian16(const std::array<std::uint8_t, 32>& bytes) {
    return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
}

// The type names in the order they are tried. "ui8" with a zero fourth byte is its own
// code, not the fold of three letters.
enum class SmcDataType { flt, sp78, fpe2, fp2E, ui16, ui8Space, ui8Zero };

struct TypeEntry {
    std::uint32_t code;
    SmcDataType type;
};

const std::array<TypeEntry, 7>& typeTable() {
    static const std::array<TypeEntry, 7> table{{
        {fourCharCode("flt "), SmcDataType::flt},
        {fourCharCode("sp78"), SmcDataType::sp78},
        {fourCharCode("fpe2"), SmcDataType::fpe2},
        {fourCharCode("fp2E"), SmcDataType::fp2E},
        {fourCharCode("ui16"), SmcDataType::ui16},
        {fourCharCode("ui8 "), SmcDataType::ui8Space},
        {0x75693800u, SmcDataType::ui8Zero},
    }};
    return table;
}

double decode(SmcDataType type, const std::array<std::uint8_t, 32>& bytes) {
    switch (type) {
        case SmcDataType::flt: {
            const std::uint32_t bits = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                                       std::uint32_t{bytes[2]} << 16 |
                                       std::uint32_t{bytes[3]} << 24;
            return static_cast<double>(std::bit_cast<float>(bits));
        }
        case SmcDataType::sp78:
            return static_cast<std::int16_t>(bigEndian16(bytes)) / 256.0;
        case SmcDataType::fpe2:
            return bigEndian16(bytes) / 4.0;
        case SmcDataType::fp2E:
            return bigEndian16(bytes) / 16384.0;
        case SmcDataType::ui16:
            return bigEndian16(bytes);
        case SmcDataType::ui8Space:
        case SmcDataType::ui8Zero:
            return bytes[0];
    }
    return 0.0;
}

}  // namespace

std::uint32_t fourCharCode(std::string_view text) {
    std::uint32_t code = 0;
    for (const char c : text.substr(0, 4)) {
        code = code << 8 | static_cast<std::uint8_t>(c);
    }
    return code;
}

std::optional<double> decodeSmcValue(std::uint32_t type,
                                     const std::array<std::uint8_t, 32>& bytes) {
    for (const TypeEntry& entry : typeTable()) {
        if (entry.code == type) {
            return decode(entry.type, bytes);
        }
    }
    return std::nullopt;
}

SmcReader::SmcReader(ServiceLookup lookup) : lookup_(std::move(lookup)) {}

bool SmcReader::open() {
    if (connection_) {
        return true;
    }
    std::unique_ptr<SmcService> service = lookup_ ? lookup_() : nullptr;
    if (!service) {
        std::printf("[SMCReader] AppleSMC service not found\n");
        std::fflush(stdout);
        return false;
    }
    std::unique_ptr<SmcUserClient> client;
    const int result = service->open(client);
    service.reset();
    if (result == kSmcCallSucceeded && client) {
        connection_ = std::move(client);
        return true;
    }
    std::printf("[SMCReader] IOServiceOpen failed: %d\n", result);
    std::fflush(stdout);
    return false;
}

std::optional<double> SmcReader::readKey(std::string_view key) const {
    if (!connection_) {
        return std::nullopt;
    }
    const std::uint32_t keyCode = fourCharCode(key);

    SmcParameterBlock infoRequest;
    infoRequest.key = keyCode;
    infoRequest.command = kSmcReadKeyInfo;
    SmcBlockBytes output{};
    if (connection_->callStructMethod(kSmcStructMethodSelector, toBlockBytes(infoRequest),
                                      output) != kSmcCallSucceeded) {
        return std::nullopt;
    }
    const SmcParameterBlock info = fromBlockBytes(output);

    SmcParameterBlock bytesRequest;
    bytesRequest.key = keyCode;
    bytesRequest.dataSize = info.dataSize;
    bytesRequest.command = kSmcReadBytes;
    output = {};
    if (connection_->callStructMethod(kSmcStructMethodSelector, toBlockBytes(bytesRequest),
                                      output) != kSmcCallSucceeded) {
        return std::nullopt;
    }
    return decodeSmcValue(info.dataType, fromBlockBytes(output).bytes);
}
