#include "core/SettingsReader.h"

#include <climits>
#include <cmath>

std::optional<double> SettingsReader::doubleValue(const QString& key) const {
    const auto stored = value(key);
    if (!stored || !stored->isDouble()) {
        return std::nullopt;
    }
    return stored->toDouble();
}

std::optional<bool> SettingsReader::boolValue(const QString& key) const {
    const auto stored = value(key);
    if (!stored || !stored->isBool()) {
        return std::nullopt;
    }
    return stored->toBool();
}

std::optional<int> SettingsReader::integerValue(const QString& key) const {
    const auto number = doubleValue(key);
    if (!number || !std::isfinite(*number) || std::trunc(*number) != *number ||
        *number < static_cast<double>(INT_MIN) || *number > static_cast<double>(INT_MAX)) {
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

std::optional<QString> SettingsReader::stringValue(const QString& key) const {
    const auto stored = value(key);
    if (!stored || !stored->isString()) {
        return std::nullopt;
    }
    return stored->toString();
}
