#include "platform/linux/memory/MeminfoReader.h"

#include "linux_io/CounterText.h"

#include <array>
#include <limits>
#include <utility>

namespace {

using Field = std::optional<std::uint64_t> MeminfoFigures::*;

constexpr std::array<std::pair<std::string_view, Field>, 16> kWantedLines{{
    {"MemTotal", &MeminfoFigures::memTotal},
    {"MemFree", &MeminfoFigures::memFree},
    {"MemAvailable", &MeminfoFigures::memAvailable},
    {"Active(anon)", &MeminfoFigures::activeAnon},
    {"Inactive(anon)", &MeminfoFigures::inactiveAnon},
    {"Active(file)", &MeminfoFigures::activeFile},
    {"Inactive(file)", &MeminfoFigures::inactiveFile},
    {"Unevictable", &MeminfoFigures::unevictable},
    {"SUnreclaim", &MeminfoFigures::sUnreclaim},
    {"KernelStack", &MeminfoFigures::kernelStack},
    {"PageTables", &MeminfoFigures::pageTables},
    {"SecPageTables", &MeminfoFigures::secPageTables},
    {"Percpu", &MeminfoFigures::percpu},
    {"Zswap", &MeminfoFigures::zswap},
    {"SwapTotal", &MeminfoFigures::swapTotal},
    {"SwapFree", &MeminfoFigures::swapFree},
}};

// No machine has this much memory; refusing larger values as garbage also keeps the sums
// and KiB-to-byte conversions made from these figures far from wrapping.
constexpr std::uint64_t kLargestPlausibleKib = std::numeric_limits<std::uint64_t>::max() >> 20;

}  // namespace

MeminfoFigures parseMeminfo(std::string_view text) {
    MeminfoFigures figures;
    forEachCompleteLine(text, [&figures](std::string_view line) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            return true;
        }
        const std::string_view key = line.substr(0, colon);
        for (const auto& [name, field] : kWantedLines) {
            if (key == name) {
                const auto value = leadingUnsigned(line.substr(colon + 1));
                if (value && *value <= kLargestPlausibleKib && !(figures.*field)) {
                    figures.*field = value;
                }
                break;
            }
        }
        return true;
    });
    return figures;
}

MeminfoReader::MeminfoReader(const std::filesystem::path& root)
    : file_((root / "proc/meminfo").string()) {}

std::optional<MeminfoFigures> MeminfoReader::read() {
    const auto text = file_.read();
    if (!text) {
        return std::nullopt;
    }
    MeminfoFigures figures = parseMeminfo(*text);
    if (!figures.memTotal || *figures.memTotal == 0) {
        return std::nullopt;
    }
    return figures;
}
