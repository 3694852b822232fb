#pragma once

#include "helper/SensorField.h"

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <vector>

// One place a field's value can come from: reads it now, or gives no value.
using FieldSource = std::function<std::optional<double>()>;

// The sources of every field of a machine, each field's in order of preference, and how
// many fans it has.
struct FieldSources {
    std::array<std::vector<FieldSource>, kSensorFieldCount> byField;
    // Empty when the machine reports no fans.
    FieldSource fanCount;

    std::vector<FieldSource>& of(SensorField field) {
        return byField[static_cast<std::size_t>(field)];
    }
    // No field has a source and there is no fan count.
    bool empty() const;
};

// The first usable value among `sources` (see isUsableReading), later sources unread.
std::optional<double> firstUsable(SensorField field, std::span<const FieldSource> sources);
