#include "helper/linux/RaplDomains.h"

#include "linux_io/SysfsText.h"

#include <algorithm>
#include <string>
#include <vector>

std::optional<RaplDomain> findRaplDomain(const std::filesystem::path& root, std::string_view name) {
    std::vector<std::filesystem::path> zones;
    std::error_code error;
    std::filesystem::directory_iterator it(root / "sys/class/powercap", error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (it->path().filename().string().starts_with("intel-rapl:")) {
            zones.push_back(it->path());
        }
    }
    std::sort(zones.begin(), zones.end());
    for (const auto& zone : zones) {
        if (readSysfsWord(zone / "name") != name) {
            continue;
        }
        const auto range = readIntegerFile(zone / "max_energy_range_uj");
        return RaplDomain{zone / "energy_uj",
                          range && *range > 0 ? static_cast<std::uint64_t>(*range) : 0};
    }
    return std::nullopt;
}
