#include "exporter/ExpositionCache.h"

#include <utility>

void ExpositionCache::setSnapshot(MetricsSnapshot snapshot) {
    snapshot_ = std::move(snapshot);
    renderings_ = {};
}

QByteArray ExpositionCache::rendering(ExpositionFormat format) {
    if (!snapshot_) {
        return {};
    }
    std::optional<QByteArray>& kept = renderings_[static_cast<std::size_t>(format)];
    if (!kept) {
        kept = renderExposition(*snapshot_, format);
        ++renderingsMade_;
    }
    return *kept;
}
