#pragma once

#include "linux_io/KeptOpenFile.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

// The /proc/meminfo lines the memory figures are built from, in KiB. A line the file did not
// have (older kernels lack SecPageTables, Zswap and Percpu) or could not be read is empty.
struct MeminfoFigures {
    std::optional<std::uint64_t> memTotal;
    std::optional<std::uint64_t> memFree;
    std::optional<std::uint64_t> memAvailable;
    std::optional<std::uint64_t> activeAnon;
    std::optional<std::uint64_t> inactiveAnon;
    std::optional<std::uint64_t> activeFile;
    std::optional<std::uint64_t> inactiveFile;
    std::optional<std::uint64_t> unevictable;
    std::optional<std::uint64_t> sUnreclaim;
    std::optional<std::uint64_t> kernelStack;
    std::optional<std::uint64_t> pageTables;
    std::optional<std::uint64_t> secPageTables;
    std::optional<std::uint64_t> percpu;
    std::optional<std::uint64_t> zswap;
    std::optional<std::uint64_t> swapTotal;
    std::optional<std::uint64_t> swapFree;
    bool operator==(const MeminfoFigures&) const = default;
};

// Picks the wanted lines out of meminfo text, in any order; other lines are skipped.
MeminfoFigures parseMeminfo(std::string_view text);

// Reads <root>/proc/meminfo.
class MeminfoReader {
public:
    explicit MeminfoReader(const std::filesystem::path& root = "/");

    // Empty when the file cannot be read or has no usable MemTotal: without the size of
    // memory none of the other lines mean anything.
    std::optional<MeminfoFigures> read();

private:
    KeptOpenFile file_;
};
