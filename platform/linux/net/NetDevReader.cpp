#include "platform/linux/net/NetDevReader.h"

#include <charconv>
#include <filesystem>

namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// The next whitespace-separated unsigned number of `text`, advancing it; false at the end or
// on anything that is not a number.
bool takeNumber(std::string_view& text, std::uint64_t& value) {
    const auto start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        return false;
    }
    const char* begin = text.data() + start;
    const char* end = text.data() + text.size();
    const auto [next, error] = std::from_chars(begin, end, value);
    if (error != std::errc{} || (next != end && *next != ' ' && *next != '\t')) {
        return false;
    }
    text.remove_prefix(static_cast<std::size_t>(next - text.data()));
    return true;
}

}  // namespace

NetDevReader::NetDevReader(const std::string& root)
    : file_((std::filesystem::path(root) / "proc/net/dev").string()) {}

QVector<InterfaceCounters> NetDevReader::readCounters() {
    return parseNetDev(file_.read().value_or(std::string_view{}));
}

QVector<InterfaceCounters> parseNetDev(std::string_view text) {
    QVector<InterfaceCounters> interfaces;
    while (!text.empty()) {
        const auto lineEnd = text.find('\n');
        std::string_view line = text.substr(0, lineEnd);
        text = lineEnd == std::string_view::npos ? std::string_view{} : text.substr(lineEnd + 1);

        // The two header lines carry '|' and no ':'; old kernels glue the first number to
        // the colon, so split at it rather than at whitespace.
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        const std::string_view name = trimmed(line.substr(0, colon));
        std::string_view fields = line.substr(colon + 1);
        std::uint64_t values[9] = {};
        bool complete = !name.empty();
        for (std::uint64_t& value : values) {
            complete = complete && takeNumber(fields, value);
        }
        if (!complete) {
            continue;
        }
        interfaces.append({QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
                           values[0], values[8]});
    }
    return interfaces;
}
