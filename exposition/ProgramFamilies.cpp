#include "exposition/MetricFamilies.h"

void writeProgramFamilies(ExpositionWriter& writer, const MetricsSnapshot& snapshot) {
    writer.beginFamily("vantrel_build_info", MetricKind::info,
                       "The release of vantrel-sample that serves these figures.");
    writer.sample(1, {{"version", snapshot.version}});

    writer.beginFamily("vantrel_polls_total", MetricKind::counter,
                       "Polls of the machine since the exporter started.");
    writer.sample(snapshot.session.pollCount);

    writer.beginFamily("vantrel_sensor_helper_up", MetricKind::gauge,
                       "1 when the sensor helper answers and its temperatures, powers and fans "
                       "are exported, 0 when it does not.");
    writer.sample(snapshot.helperAvailable);
}
