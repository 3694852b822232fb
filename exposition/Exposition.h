#pragma once

#include "exposition/MetricsSnapshot.h"

#include <QByteArray>
#include <QByteArrayView>

// The two formats a Prometheus scraper understands.
enum class ExpositionFormat {
    prometheusText,  // text/plain; version=0.0.4
    openMetrics,     // application/openmetrics-text; version=1.0.0
};

// The format for a scrape's Accept header: OpenMetrics 1.0 when the scraper lists it with a
// quality above zero, the text format otherwise (no header included).
ExpositionFormat expositionFormatFor(QByteArrayView acceptHeader);

// The Content-Type of an answer in `format`.
QByteArray expositionContentType(ExpositionFormat format);

// Every metric of `snapshot` with its HELP and TYPE lines, without timestamps.
QByteArray renderExposition(const MetricsSnapshot& snapshot, ExpositionFormat format);
