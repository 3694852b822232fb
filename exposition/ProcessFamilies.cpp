#include "exposition/MetricFamilies.h"

namespace {

// Ranks count from 1; the list's length bounds the series.
template <typename Figure>
void writeRanks(ExpositionWriter& writer, const QVector<TopProcess>& processes, Figure figure) {
    for (qsizetype index = 0; index < processes.size(); ++index) {
        const NumberLabelText rank(index + 1);
        writer.sample(figure(processes[index]),
                      {{"rank", rank.view()}, {"name", processes[index].name}});
    }
}

}  // namespace

void writeProcessFamilies(ExpositionWriter& writer, const MetricsSnapshot& snapshot) {
    writer.beginFamily("vantrel_top_process_cpu_ratio", MetricKind::gauge,
                       "The user's busiest processes by rank: share of one processor since the "
                       "previous poll.");
    writeRanks(writer, snapshot.processes.topByCpu,
               [](const TopProcess& process) { return process.cpuPercent / 100.0; });
    writer.beginFamily("vantrel_top_process_memory_bytes", MetricKind::gauge,
                       "The user's largest processes by rank: resident memory.");
    writeRanks(writer, snapshot.processes.topByMemory,
               [](const TopProcess& process) { return process.memoryBytes; });
}
