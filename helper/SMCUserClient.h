#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

inline constexpr std::size_t kSMCBlockSize = 80;
using SMCBlockBytes = std::array<std::uint8_t, kSMCBlockSize>;

// The SMC driver's structure method that carries both commands.
inline constexpr std::uint32_t kSMCStructMethodSelector = 2;

// Return codes of a user client call: 0 is success, anything else a failure the reader
// does not look into further.
inline constexpr int kSMCCallSucceeded = 0;
inline constexpr int kSMCUnknownSelector = 1;
inline constexpr int kSMCUnknownCommand = 2;
inline constexpr int kSMCKeyNotFound = 3;
inline constexpr int kSMCReadFailed = 4;

// One opened connection to an SMC: the structure method of the driver's user client, with
// an 80-byte parameter block in each direction.
class SMCUserClient {
public:
    virtual ~SMCUserClient() = default;
    virtual int callStructMethod(std::uint32_t selector, const SMCBlockBytes& input,
                                 SMCBlockBytes& output) = 0;
};

// An SMC found on the system, not yet opened.
class SMCService {
public:
    virtual ~SMCService() = default;
    // 0 with `client` set, or an error code (a negative errno on Linux).
    virtual int open(std::unique_ptr<SMCUserClient>& client) = 0;
};
