#include "exposition/Exposition.h"

#include "exposition/AcceptHeader.h"
#include "exposition/ExpositionWriter.h"
#include "exposition/MetricFamilies.h"

#include <algorithm>

namespace {

bool acceptsOpenMetrics(const MediaRange& range) {
    return range.type == "application" && range.subtype == "openmetrics-text" &&
           (!range.version || *range.version == "1.0.0");
}

// The text format is the default: a wildcard asks for it, as does text/plain of its version.
bool acceptsPrometheusText(const MediaRange& range) {
    if (range.type == "*" || (range.type == "text" && range.subtype == "*")) {
        return true;
    }
    return range.type == "text" && range.subtype == "plain" &&
           (!range.version || *range.version == "0.0.4");
}

// Room for the fixed families and each sensor channel's and process's lines, so one
// rendering seldom grows its buffer.
qsizetype expectedSize(const MetricsSnapshot& snapshot) {
    constexpr qsizetype kFixedPart = 12 * 1024;
    constexpr qsizetype kPerChannel = 160;
    constexpr qsizetype kPerCore = 48;
    return kFixedPart + kPerChannel * snapshot.sensors.channels.size() +
           kPerCore * snapshot.cpu.perCore.size() + 128 * snapshot.disk.volumes.size();
}

}  // namespace

// OpenMetrics when the scraper names it (version 1.0.0 or none) with a quality above zero
// and no lower than the text format's; a scraper that prefers the text format gets it.
ExpositionFormat expositionFormatFor(QByteArrayView acceptHeader) {
    double openMetricsQuality = 0;
    double textQuality = 0;
    for (const MediaRange& range : parseAcceptHeader(acceptHeader)) {
        if (acceptsOpenMetrics(range)) {
            openMetricsQuality = std::max(openMetricsQuality, range.quality);
        } else if (acceptsPrometheusText(range)) {
            textQuality = std::max(textQuality, range.quality);
        }
    }
    return openMetricsQuality > 0 && openMetricsQuality >= textQuality
               ? ExpositionFormat::openMetrics
               : ExpositionFormat::prometheusText;
}

QByteArray expositionContentType(ExpositionFormat format) {
    return format == ExpositionFormat::openMetrics
               ? QByteArrayLiteral("application/openmetrics-text; version=1.0.0; charset=utf-8")
               : QByteArrayLiteral("text/plain; version=0.0.4; charset=utf-8");
}

QByteArray renderExposition(const MetricsSnapshot& snapshot, ExpositionFormat format) {
    QByteArray text;
    text.reserve(expectedSize(snapshot));
    ExpositionWriter writer(text, format);
    writeProgramFamilies(writer, snapshot);
    // Before the first poll the records hold only their defaults: nothing was measured.
    if (snapshot.session.pollCount > 0) {
        writeMachineFamilies(writer, snapshot);
        writeSensorFamilies(writer, snapshot);
        writeSessionFamilies(writer, snapshot);
        writeProcessFamilies(writer, snapshot);
    }
    writer.finish();
    return text;
}
