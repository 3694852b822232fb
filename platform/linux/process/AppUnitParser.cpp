#include "platform/linux/process/AppUnitParser.h"

#include "linux_io/CounterText.h"
#include "linux_io/SysfsText.h"

#include <optional>

namespace {

// The unified hierarchy's path, else the path systemd keeps in its named v1 hierarchy.
std::optional<std::string_view> unitPath(std::string_view cgroupText) {
    std::optional<std::string_view> named;
    std::optional<std::string_view> unified;
    forEachCompleteLine(cgroupText, [&](std::string_view line) {
        if (line.substr(0, 3) == "0::") {
            unified = line.substr(3);
            return false;
        }
        constexpr std::string_view kSystemd = ":name=systemd:";
        if (const std::size_t at = line.find(kSystemd); at != std::string_view::npos) {
            named = line.substr(at + kSystemd.size());
        }
        return true;
    });
    return unified ? unified : named;
}

// Undoes systemd's unit-name escaping: \xNN stands for the byte NN.
std::string unescapeUnitName(std::string_view text) {
    std::string plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            const int high = hexDigitValue(text[i + 2]);
            const int low = hexDigitValue(text[i + 3]);
            if (high >= 0 && low >= 0) {
                plain.push_back(static_cast<char>(high * 16 + low));
                i += 3;
                continue;
            }
        }
        plain.push_back(text[i]);
    }
    return plain;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

}  // namespace

std::vector<std::string> desktopIdsFromCgroup(std::string_view cgroupText) {
    const auto path = unitPath(cgroupText);
    if (!path) {
        return {};
    }
    std::string_view unit = *path;
    if (const std::size_t slash = unit.rfind('/'); slash != std::string_view::npos) {
        unit = unit.substr(slash + 1);
    }
    constexpr std::string_view kPrefix = "app-";
    if (unit.substr(0, kPrefix.size()) != kPrefix) {
        return {};
    }
    std::string_view name;
    if (endsWith(unit, ".scope")) {
        name = unit.substr(kPrefix.size(), unit.size() - kPrefix.size() - 6);
        // A scope always ends in a random part of its own.
        const std::size_t dash = name.rfind('-');
        if (dash == std::string_view::npos) {
            return {};
        }
        name = name.substr(0, dash);
    } else if (endsWith(unit, ".service")) {
        name = unit.substr(kPrefix.size(), unit.size() - kPrefix.size() - 8);
        name = name.substr(0, name.find('@'));
    } else {
        return {};
    }
    if (name.empty()) {
        return {};
    }

    std::vector<std::string> ids;
    // With a launcher in front, the id is what follows its dash; launchers that did not
    // escape the dashes of the id leave the whole name as a second guess.
    if (const std::size_t dash = name.find('-'); dash != std::string_view::npos) {
        const std::string_view withoutLauncher = name.substr(dash + 1);
        if (!withoutLauncher.empty()) {
            ids.push_back(unescapeUnitName(withoutLauncher));
        }
    }
    ids.push_back(unescapeUnitName(name));
    return ids;
}
