#pragma once

#include "helper/applesmc/SmcUserClient.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

// The parameter block both SMC commands use, laid out field by field at the driver's byte
// offsets; integers are in the machine's native byte order.
struct SmcParameterBlock {
    std::uint32_t key = 0;
    std::uint8_t versionMajor = 0;
    std::uint8_t versionMinor = 0;
    std::uint8_t versionBuild = 0;
    std::uint8_t versionReserved = 0;
    std::uint16_t versionRelease = 0;
    std::uint16_t padding10 = 0;
    std::uint16_t powerLimitVersion = 0;
    std::uint16_t powerLimitLength = 0;
    std::uint32_t cpuPowerLimit = 0;
    std::uint32_t gpuPowerLimit = 0;
    std::uint32_t memoryPowerLimit = 0;
    std::uint32_t dataSize = 0;
    std::uint32_t dataType = 0;
    std::uint8_t dataAttributes = 0;
    std::array<std::uint8_t, 3> padding37{};
    std::uint8_t result = 0;
    std::uint8_t status = 0;
    std::uint8_t command = 0;
    std::uint8_t padding43 = 0;
    std::uint32_t data32 = 0;
    std::array<std::uint8_t, 32> bytes{};
};

static_assert(sizeof(SmcParameterBlock) == kSmcBlockSize);
static_assert(offsetof(SmcParameterBlock, key) == 0);
static_assert(offsetof(SmcParameterBlock, versionRelease) == 8);
static_assert(offsetof(SmcParameterBlock, powerLimitVersion) == 12);
static_assert(offsetof(SmcParameterBlock, memoryPowerLimit) == 24);
static_assert(offsetof(SmcParameterBlock, dataSize) == 28);
static_assert(offsetof(SmcParameterBlock, dataType) == 32);
static_assert(offsetof(SmcParameterBlock, dataAttributes) == 36);
static_assert(offsetof(SmcParameterBlock, result) == 40);
static_assert(offsetof(SmcParameterBlock, status) == 41);
static_assert(offsetof(SmcParameterBlock, command) == 42);
static_assert(offsetof(SmcParameterBlock, data32) == 44);
static_assert(offsetof(SmcParameterBlock, bytes) == 48);

inline constexpr std::uint8_t kSmcReadBytes = 5;
inline constexpr std::uint8_t kSmcReadKeyInfo = 9;

inline SmcBlockBytes toBlockBytes(const SmcParameterBlock& block) {
    return std::bit_cast<SmcBlockBytes>(block);
}

inline SmcParameterBlock fromBlockBytes(const SmcBlockBytes& bytes) {
    return std::bit_cast<SmcParameterBlock>(bytes);
}
