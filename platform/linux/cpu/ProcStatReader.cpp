#include "platform/linux/cpu/ProcStatReader.h"

#include "platform/linux/cpu/ProcStatParser.h"

#include <algorithm>

ProcStatReader::ProcStatReader(const std::filesystem::path& root, std::vector<int> efficiencyCpus)
    : file_(root / "proc/stat") {
    for (const int cpu : efficiencyCpus) {
        if (cpu < 0) {
            continue;
        }
        if (isEfficiency_.size() <= static_cast<std::size_t>(cpu)) {
            isEfficiency_.resize(static_cast<std::size_t>(cpu) + 1);
        }
        isEfficiency_[static_cast<std::size_t>(cpu)] = true;
    }
}

std::uint64_t ProcStatReader::monotonicIdle(int cpu, std::uint64_t idle) {
    const auto index = static_cast<std::size_t>(cpu);
    if (idleHighWater_.size() <= index) {
        idleHighWater_.resize(index + 1);
    }
    idleHighWater_[index] = std::max(idleHighWater_[index], idle);
    return idleHighWater_[index];
}

std::optional<ProcStatSample> ProcStatReader::read() {
    const auto text = file_.read();
    if (!text) {
        return std::nullopt;
    }
    const ProcStatContents contents = parseProcStat(*text);
    if (contents.cpus.empty()) {
        return std::nullopt;
    }
    ProcStatSample sample;
    sample.bootTimeSeconds = contents.bootTimeSeconds;
    sample.ticks.reserve(contents.cpus.size());
    for (const ProcStatCpuLine& line : contents.cpus) {
        // Truncation to 32 bits is deliberate: the sampler's wrap rule handles the rollover.
        sample.ticks.push_back({
            .cpu = line.cpu,
            .user = static_cast<std::uint32_t>(line.user),
            .system =
                static_cast<std::uint32_t>(line.system + line.irq + line.softirq + line.steal),
            .idle = static_cast<std::uint32_t>(monotonicIdle(line.cpu, line.idle + line.iowait)),
            .nice = static_cast<std::uint32_t>(line.nice),
        });
    }
    const auto isEfficiency = [this](const CpuTickSet& ticks) {
        const auto index = static_cast<std::size_t>(ticks.cpu);
        return index < isEfficiency_.size() && isEfficiency_[index];
    };
    std::sort(sample.ticks.begin(), sample.ticks.end(),
              [&](const CpuTickSet& a, const CpuTickSet& b) {
                  const bool aFirst = isEfficiency(a);
                  const bool bFirst = isEfficiency(b);
                  return aFirst != bFirst ? aFirst : a.cpu < b.cpu;
              });
    return sample;
}
