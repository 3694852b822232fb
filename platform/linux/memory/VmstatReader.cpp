#include "platform/linux/memory/VmstatReader.h"

#include "linux_io/CounterText.h"

PagingCounters parseVmstat(std::string_view text) {
    PagingCounters counters;
    bool haveMajorFaults = false;
    bool haveSwapOuts = false;
    forEachCompleteLine(text, [&](std::string_view line) {
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos) {
            return true;
        }
        const std::string_view key = line.substr(0, space);
        if (key == "pgmajfault" && !haveMajorFaults) {
            const auto value = leadingUnsigned(line.substr(space));
            counters.majorFaults = value.value_or(0);
            haveMajorFaults = true;
        } else if (key == "pswpout" && !haveSwapOuts) {
            const auto value = leadingUnsigned(line.substr(space));
            counters.swapOuts = value.value_or(0);
            haveSwapOuts = true;
        }
        // The rest of the file (about half of it) holds nothing wanted.
        return !(haveMajorFaults && haveSwapOuts);
    });
    return counters;
}

VmstatReader::VmstatReader(const std::filesystem::path& root)
    : file_((root / "proc/vmstat").string()) {}

std::optional<PagingCounters> VmstatReader::read() {
    const auto text = file_.read();
    if (!text) {
        return std::nullopt;
    }
    return parseVmstat(*text);
}
