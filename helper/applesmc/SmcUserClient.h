#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

inline constexpr std::size_t kSmcBlockSize = 80;
using SmcBlockBytes = std::array<std::uint8_t, kSmcBlockSize>;

// The SMC driver's structure method that carries both commands.
inline constexpr std::uint32_t kSmcStructMethodSelector = 2;

// Return codes of a user client call: 0 is success, anything else a failure the reader
// does not look into further.
inline constexpr int kSmcCallSucceeded = 0;
inline constexpr int kSmcUnknownSelector = 1;
inline constexpr int kSmcUnknownCommand = 2;
inline constexpr int kSmcKeyNotFound = 3;
inline constexpr int kSmcReadFailed = 4;

// One opened connection to an SMC: the structure method of the driver's user client, with
// an 80-byte parameter block in each direction.
class SmcUserClient {
public:
    virtual ~SmcUserClient() = default;
    virtual int callStructMethod(std::uint32_t selector, const SmcBlockBytes& input,
                                 SmcBlockBytes& output) = 0;
};

// An SMC found on the system, not yet opened.
class SmcService {
public:
    virtual ~SmcService() = default;
    // 0 with `client` set, or an error code (a negative errno on Linux).
    virtual int open(std::unique_ptr<SmcUserClient>& client) = 0;
};
