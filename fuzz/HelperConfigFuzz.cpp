#include "shared/HelperConfig.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

// The helper's configuration file as root's installation or anyone who got to write it may
// have left it. Whatever the parser accepts must be the users it lists, in order: written
// back as the installer writes it, it must read back the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto config = parseHelperConfig(text);
    if (!config) {
        return 0;
    }
    for (const uid_t uid : config->allowedUids) {
        if (uid == static_cast<uid_t>(-1)) {
            std::abort();  // the kernel's "no user" is never a peer
        }
    }
    if (config->allowedUids.empty() || parseHelperConfig(helperConfigText(*config)) != config) {
        std::abort();
    }
    return 0;
}
