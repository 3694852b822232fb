#include "providers/GpuProvider.h"

#include <QMetaType>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

std::optional<double> numberValue(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::SChar:
        case QMetaType::UChar:
            return value.toDouble();
        default:
            return std::nullopt;
    }
}

// Whole numbers only: a byte count given as a floating-point number is not taken.
std::optional<std::uint64_t> byteCountValue(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::SChar:
            return static_cast<std::uint64_t>(std::max<qlonglong>(0, value.toLongLong()));
        case QMetaType::UInt:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
        case QMetaType::UShort:
        case QMetaType::UChar:
            return value.toULongLong();
        default:
            return std::nullopt;
    }
}

template <typename Parse>
auto firstUsable(const QVariantMap& statistics, const QStringList& keys, Parse parse)
    -> decltype(parse(QVariant())) {
    for (const QString& key : keys) {
        const auto found = statistics.constFind(key);
        if (found == statistics.constEnd()) {
            continue;
        }
        if (auto value = parse(*found)) {
            return value;
        }
    }
    return std::nullopt;
}

// Values above 1 are percentages. A share is kept within 0 to 1 whatever a driver reports,
// and a value that is not a number at all is ignored.
std::optional<double> utilizationFraction(double value) {
    if (std::isnan(value)) {
        return std::nullopt;
    }
    if (value > 1.0) {
        value /= 100.0;
    }
    return std::clamp(value, 0.0, 1.0);
}

}  // namespace

GpuProvider::GpuProvider(std::unique_ptr<AcceleratorSource> source) : source_(std::move(source)) {}

GpuStats GpuProvider::sample() {
    return combine(source_->readAccelerators());
}

GpuStats GpuProvider::combine(const QList<QVariantMap>& accelerators) const {
    GpuStats stats;
    stats.acceleratorCount = static_cast<int>(accelerators.size());
    if (accelerators.isEmpty()) {
        return stats;
    }
    const auto display =
        std::find_if(accelerators.cbegin(), accelerators.cend(), [](const QVariantMap& card) {
            const auto flag = card.constFind(AcceleratorKey::drivesDisplay);
            return flag != card.constEnd() && flag->typeId() == QMetaType::Bool && flag->toBool();
        });
    const QVariantMap& properties =
        display != accelerators.cend() ? *display : accelerators.first();

    const auto name = properties.constFind(AcceleratorKey::name);
    if (name != properties.constEnd() && name->typeId() == QMetaType::QString) {
        stats.name = name->toString();
    }
    const auto statisticsEntry = properties.constFind(AcceleratorKey::statistics);
    if (statisticsEntry == properties.constEnd() ||
        statisticsEntry->typeId() != QMetaType::QVariantMap) {
        return stats;
    }
    const QVariantMap statistics = statisticsEntry->toMap();
    if (const auto raw = firstUsable(statistics, utilizationKeys, numberValue)) {
        if (const auto fraction = utilizationFraction(*raw)) {
            stats.utilization = *fraction;
        }
    }
    if (const auto used = firstUsable(statistics, memUsedKeys, byteCountValue)) {
        stats.usedMemoryBytes = *used;
    }
    if (const auto total = firstUsable(statistics, memTotalKeys, byteCountValue)) {
        stats.totalMemoryBytes = *total;
    }
    return stats;
}
