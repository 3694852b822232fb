#include "hardware/SensorNaming.h"

#include "linux_io/SysfsText.h"

namespace {

constexpr std::size_t kLabelBytes = 64;

bool isIdentityCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ':' || c == '_';
}

bool isUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The last two components of a path ("/sys/devices/platform/coretemp.0" -> "platform",
// "coretemp.0"), either empty when missing.
std::pair<std::string_view, std::string_view> lastTwoComponents(std::string_view path) {
    while (path.ends_with('/')) {
        path.remove_suffix(1);
    }
    const auto cut = path.rfind('/');
    if (cut == std::string_view::npos) {
        return {{}, path};
    }
    const std::string_view name = path.substr(cut + 1);
    std::string_view parent = path.substr(0, cut);
    const auto parentCut = parent.rfind('/');
    if (parentCut != std::string_view::npos) {
        parent = parent.substr(parentCut + 1);
    }
    return {parent, name};
}

// Raw units per unit shown; a division keeps 38850 millidegrees exactly 38.85 as a double.
double rawPerUnit(SensorKind kind) {
    switch (kind) {
        case SensorKind::fan:
            return 1.0;
        case SensorKind::temperature:
        case SensorKind::voltage:
        case SensorKind::current:
            return 1e3;
        case SensorKind::power:
        case SensorKind::energy:
            return 1e6;
    }
    return 1.0;
}

}  // namespace

std::string cleanedName(std::string_view text) {
    std::string cleaned;
    cleaned.reserve(text.size());
    for (char c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        cleaned.push_back(isIdentityCharacter(c) ? c : '_');
    }
    const auto first = cleaned.find_first_not_of('_');
    if (first == std::string::npos) {
        return {};
    }
    return cleaned.substr(first, cleaned.find_last_not_of('_') - first + 1);
}

std::string chipIdentity(std::string_view devicePath, std::string_view name,
                         std::string_view directoryName) {
    const auto [deviceType, deviceName] = lastTwoComponents(devicePath);
    if (!deviceName.empty()) {
        if (!deviceType.empty()) {
            return cleanedName(deviceType) + "_" + cleanedName(deviceName);
        }
        return cleanedName(deviceName);
    }
    if (!name.empty()) {
        return cleanedName(name);
    }
    return cleanedName(directoryName);
}

std::string boundedLabel(std::string_view text) {
    std::string kept;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            kept.push_back(c);
        }
    }
    std::string_view shown = trimmed(kept);
    if (shown.size() > kLabelBytes) {
        std::size_t end = kLabelBytes;
        while (end > 0 && isUtf8Continuation(shown[end])) {
            --end;
        }
        shown = trimmed(shown.substr(0, end));
    }
    return std::string(shown);
}

std::string_view channelPrefix(SensorKind kind) {
    switch (kind) {
        case SensorKind::temperature:
            return "temp";
        case SensorKind::fan:
            return "fan";
        case SensorKind::voltage:
            return "in";
        case SensorKind::current:
            return "curr";
        case SensorKind::power:
            return "power";
        case SensorKind::energy:
            return "energy";
    }
    return {};
}

std::optional<double> scaledValue(SensorKind kind, std::string_view text) {
    const auto raw = parseInteger(text);
    if (!raw) {
        return std::nullopt;
    }
    return static_cast<double>(*raw) / rawPerUnit(kind);
}
