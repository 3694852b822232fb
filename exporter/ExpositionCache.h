#pragma once

#include "exposition/Exposition.h"
#include "exposition/MetricsSnapshot.h"

#include <QByteArray>

#include <array>
#include <optional>

// The latest poll's exposition in each format, rendered on the first request after the poll
// and kept until the next one: many scrapes between two polls cost one rendering per format.
class ExpositionCache {
public:
    // A new poll: earlier renderings are dropped and made again when asked for.
    void setSnapshot(MetricsSnapshot snapshot);

    // The rendering of the latest poll; empty before the first one.
    QByteArray rendering(ExpositionFormat format);

    // How many renderings were made, for tests of the cache.
    int renderingsMade() const { return renderingsMade_; }

private:
    std::optional<MetricsSnapshot> snapshot_;
    std::array<std::optional<QByteArray>, 2> renderings_;
    int renderingsMade_ = 0;
};
