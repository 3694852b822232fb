#include "platform/linux/thermal/ThrottleCounterReader.h"

#include "linux_io/NumberedEntries.h"
#include "linux_io/SysfsText.h"

#include <map>
#include <optional>

ThrottleCounterReader::ThrottleCounterReader(const std::filesystem::path& root) {
    std::map<std::string, std::size_t> indexById;
    const auto addCandidate = [&](const std::string& id, const std::filesystem::path& directory,
                                  const std::string& kind) {
        std::error_code error;
        if (!std::filesystem::exists(directory / (kind + "_throttle_count"), error)) {
            return;
        }
        auto [entry, added] = indexById.try_emplace(id, counters_.size());
        if (added) {
            counters_.push_back({id, {}});
        }
        counters_[entry->second].candidates.push_back(
            {KeptOpenFile(directory / (kind + "_throttle_count")),
             KeptOpenFile(directory / (kind + "_throttle_total_time_ms"))});
    };

    for (const NumberedEntry& cpu : numberedEntries(root / "sys/devices/system/cpu", "cpu")) {
        const auto directory = cpu.path / "thermal_throttle";
        const auto package = readIntegerFile(cpu.path / "topology/physical_package_id");
        const auto core = readIntegerFile(cpu.path / "topology/core_id");
        // Without topology each processor stands for itself.
        const std::string packageId = package ? "package" + std::to_string(*package)
                                              : "cpu" + std::to_string(cpu.number) + "-package";
        const std::string coreId = package && core ? packageId + "-core" + std::to_string(*core)
                                                   : "cpu" + std::to_string(cpu.number) + "-core";
        addCandidate(packageId, directory, "package");
        addCandidate(coreId, directory, "core");
    }
}

std::vector<ThrottleCounter> ThrottleCounterReader::read() {
    std::vector<ThrottleCounter> readings;
    for (Counter& counter : counters_) {
        for (CounterFiles& files : counter.candidates) {
            const auto events = readUnsignedValue(files.events);
            const auto totalTimeMs = events ? readUnsignedValue(files.totalTimeMs) : std::nullopt;
            if (events && totalTimeMs) {
                readings.push_back({counter.id, *events, *totalTimeMs});
                break;
            }
        }
    }
    return readings;
}
