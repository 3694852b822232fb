#include "platform/linux/net/DefaultRouteReader.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace {

constexpr std::uint32_t routeUp = 0x0001;      // RTF_UP
constexpr std::uint32_t routeReject = 0x0200;  // RTF_REJECT: an unreachable placeholder

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t position = 0;
    while (true) {
        const auto start = line.find_first_not_of(" \t\r", position);
        if (start == std::string_view::npos) {
            break;
        }
        const auto end = line.find_first_of(" \t\r", start);
        fields.push_back(line.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            break;
        }
        position = end;
    }
    return fields;
}

std::optional<std::uint32_t> hexValue(std::string_view text) {
    std::uint32_t value = 0;
    const auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc{} || next != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool allZeros(std::string_view text) {
    return !text.empty() && text.find_first_not_of('0') == std::string_view::npos;
}

// Walks the lines of a route table, keeping the usable default route of lowest metric.
template <typename Candidate>
QString lowestMetricInterface(std::string_view text, Candidate candidate) {
    QString best;
    std::optional<std::uint32_t> bestMetric;
    while (!text.empty()) {
        const auto lineEnd = text.find('\n');
        const auto fields = splitFields(text.substr(0, lineEnd));
        text = lineEnd == std::string_view::npos ? std::string_view{} : text.substr(lineEnd + 1);

        std::string_view interfaceName;
        std::uint32_t metric = 0;
        if (!candidate(fields, interfaceName, metric)) {
            continue;
        }
        if (!bestMetric || metric < *bestMetric) {
            bestMetric = metric;
            best = QString::fromUtf8(interfaceName.data(),
                                     static_cast<qsizetype>(interfaceName.size()));
        }
    }
    return best;
}

bool usable(std::optional<std::uint32_t> flags) {
    return flags && (*flags & routeUp) != 0 && (*flags & routeReject) == 0;
}

}  // namespace

DefaultRouteReader::DefaultRouteReader(const std::string& root)
    : ipv4File_((std::filesystem::path(root) / "proc/net/route").string()),
      ipv6File_((std::filesystem::path(root) / "proc/net/ipv6_route").string()) {}

DefaultRoutes DefaultRouteReader::readDefaultRoutes() {
    return {parseIPv4DefaultRoute(ipv4File_.read().value_or(std::string_view{})),
            parseIPv6DefaultRoute(ipv6File_.read().value_or(std::string_view{}))};
}

// Iface Destination Gateway Flags RefCnt Use Metric Mask MTU Window IRTT, numbers in hex.
QString parseIPv4DefaultRoute(std::string_view routeText) {
    return lowestMetricInterface(routeText, [](const std::vector<std::string_view>& fields,
                                               std::string_view& name, std::uint32_t& metric) {
        if (fields.size() < 8 || !allZeros(fields[1]) || !allZeros(fields[7]) ||
            !usable(hexValue(fields[3]))) {
            return false;
        }
        const auto value = hexValue(fields[6]);
        if (!value) {
            return false;
        }
        name = fields[0];
        metric = *value;
        return true;
    });
}

// Destination, prefix length, source, source prefix length, next hop, metric, reference
// count, use count, flags, device; numbers in hex.
QString parseIPv6DefaultRoute(std::string_view ipv6RouteText) {
    return lowestMetricInterface(ipv6RouteText, [](const std::vector<std::string_view>& fields,
                                                   std::string_view& name, std::uint32_t& metric) {
        if (fields.size() < 10 || !allZeros(fields[0]) || !allZeros(fields[1]) ||
            !usable(hexValue(fields[8])) || fields[9] == "lo") {
            return false;
        }
        const auto value = hexValue(fields[5]);
        if (!value) {
            return false;
        }
        name = fields[9];
        metric = *value;
        return true;
    });
}
