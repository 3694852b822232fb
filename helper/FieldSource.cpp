#include "helper/FieldSource.h"

#include <algorithm>

bool FieldSources::empty() const {
    return !fanCount && std::all_of(byField.begin(), byField.end(),
                                    [](const auto& sources) { return sources.empty(); });
}

std::optional<double> firstUsable(SensorField field, std::span<const FieldSource> sources) {
    for (const FieldSource& source : sources) {
        const auto value = source();
        if (value && isUsableReading(field, *value)) {
            return value;
        }
    }
    return std::nullopt;
}
