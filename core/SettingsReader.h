#pragma once

#include <QJsonValue>
#include <QString>

#include <optional>

// Read access to stored settings by key. Implementations supply the raw JSON value; the typed
// reads accept only a value of their own type, so a wrong type reads like a missing key.
class SettingsReader {
public:
    virtual ~SettingsReader() = default;

    // The stored value, or nothing when the key is missing.
    virtual std::optional<QJsonValue> value(const QString& key) const = 0;

    // Any JSON number.
    std::optional<double> doubleValue(const QString& key) const;
    // A JSON boolean only; numbers and texts are not booleans.
    std::optional<bool> boolValue(const QString& key) const;
    // A JSON number with an integral value inside the range of int.
    std::optional<int> integerValue(const QString& key) const;
    // A JSON string only.
    std::optional<QString> stringValue(const QString& key) const;
};
