#include "platform/linux/storage/DiskstatsReader.h"

#include "linux_io/CounterText.h"

#include <array>
#include <limits>

namespace {

constexpr std::size_t kMinimumFields = 14;
constexpr std::size_t kNameField = 2;
constexpr std::size_t kSectorsReadField = 5;
constexpr std::size_t kSectorsWrittenField = 9;
constexpr std::uint64_t kSectorBytes = 512;

std::uint64_t sectorsToBytes(std::uint64_t sectors) {
    return sectors > std::numeric_limits<std::uint64_t>::max() / kSectorBytes
               ? std::numeric_limits<std::uint64_t>::max()
               : sectors * kSectorBytes;
}

// Splits a line at blanks into at most `fields.size()` words; returns how many there were.
std::size_t splitWords(std::string_view line,
                       std::array<std::string_view, kMinimumFields>& fields) {
    std::size_t count = 0;
    std::size_t position = 0;
    while (count < fields.size()) {
        while (position < line.size() && isBlank(line[position])) {
            ++position;
        }
        if (position == line.size()) {
            break;
        }
        const std::size_t start = position;
        while (position < line.size() && !isBlank(line[position])) {
            ++position;
        }
        fields[count++] = line.substr(start, position - start);
    }
    return count;
}

}  // namespace

std::vector<DiskstatsEntry> parseDiskstats(std::string_view text) {
    std::vector<DiskstatsEntry> entries;
    forEachCompleteLine(text, [&](std::string_view line) {
        std::array<std::string_view, kMinimumFields> fields;
        if (splitWords(line, fields) < kMinimumFields) {
            return true;
        }
        for (std::size_t index = 0; index < kMinimumFields; ++index) {
            if (index != kNameField && !leadingUnsigned(fields[index])) {
                return true;
            }
        }
        entries.push_back({std::string(fields[kNameField]),
                           sectorsToBytes(*leadingUnsigned(fields[kSectorsReadField])),
                           sectorsToBytes(*leadingUnsigned(fields[kSectorsWrittenField]))});
        return true;
    });
    return entries;
}

DiskstatsReader::DiskstatsReader(const std::filesystem::path& root)
    : file_((root / "proc/diskstats").string()) {}

std::optional<std::vector<DiskstatsEntry>> DiskstatsReader::read() {
    const auto text = file_.read();
    if (!text) {
        return std::nullopt;
    }
    return parseDiskstats(*text);
}
