#pragma once

#include "helper/applesmc/SmcUserClient.h"
#include "helper/applesmc/SysfsAccess.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

// Where the applesmc driver of Intel Macs puts its raw-key files, under the system root.
inline constexpr const char* kAppleSmcDevice = "sys/devices/platform/applesmc.768";

// The real SMC of an Intel Mac through the applesmc driver's raw-key files: write an index to
// key_at_index, then read that key's name, type, length and bytes. The selector is one for
// the whole system, so every select-and-read runs under one lock.
class AppleSmcClient final : public SmcUserClient {
public:
    // Lists the keys (index by name) once. 0 with `client` set, or a negative errno: a helper
    // without root rights cannot write the selector.
    static int open(const std::filesystem::path& deviceDirectory,
                    std::unique_ptr<SysfsAccess> files, std::unique_ptr<AppleSmcClient>& client);

    int callStructMethod(std::uint32_t selector, const SmcBlockBytes& input,
                         SmcBlockBytes& output) override;

    std::size_t keyCount() const { return indexByKey_.size(); }

private:
    AppleSmcClient(std::filesystem::path directory, std::unique_ptr<SysfsAccess> files);
    int select(std::uint32_t index);
    std::optional<std::string> readAttribute(const char* name, std::size_t maxBytes);
    std::optional<std::uint32_t> selectedKey();

    std::filesystem::path directory_;
    std::unique_ptr<SysfsAccess> files_;
    std::map<std::uint32_t, std::uint32_t> indexByKey_;
    std::mutex mutex_;
};

// A type name as the driver shows it ("sp78", "ui8" for a type whose fourth byte is zero)
// turned back into its four-byte code, missing bytes as zeros.
std::uint32_t appleSmcTypeCode(std::string_view shown);
