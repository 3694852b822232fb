#include "exposition/Exposition.h"

ExpositionFormat expositionFormatFor(QByteArrayView acceptHeader) {
    return acceptHeader.contains("application/openmetrics-text") ? ExpositionFormat::openMetrics
                                                                 : ExpositionFormat::prometheusText;
}

QByteArray expositionContentType(ExpositionFormat format) {
    return format == ExpositionFormat::openMetrics
               ? QByteArrayLiteral("application/openmetrics-text; version=1.0.0; charset=utf-8")
               : QByteArrayLiteral("text/plain; version=0.0.4; charset=utf-8");
}

QByteArray renderExposition(const MetricsSnapshot& snapshot, ExpositionFormat format) {
    QByteArray text = QByteArrayLiteral(
        "# HELP vantrel_polls_total Polls since the exporter started.\n"
        "# TYPE vantrel_polls_total counter\n");
    if (format == ExpositionFormat::openMetrics) {
        text = QByteArrayLiteral(
            "# HELP vantrel_polls Polls since the exporter started.\n"
            "# TYPE vantrel_polls counter\n");
    }
    text += "vantrel_polls_total " + QByteArray::number(snapshot.session.pollCount) + '\n';
    if (format == ExpositionFormat::openMetrics) {
        text += "# EOF\n";
    }
    return text;
}
