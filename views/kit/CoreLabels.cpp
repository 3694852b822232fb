#include "views/kit/CoreLabels.h"

#include <algorithm>

QVector<CoreLabel> coreLabels(const CpuStats& cpu) {
    const qsizetype count = cpu.perCore.size();
    const bool split = cpu.efficiencyCores > 0 && cpu.performanceCores > 0;
    const qsizetype efficiency = split ? std::min<qsizetype>(cpu.efficiencyCores, count) : 0;
    const qsizetype performance =
        split ? std::min<qsizetype>(cpu.performanceCores, count - efficiency) : 0;
    QVector<CoreLabel> labels;
    labels.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        if (i < efficiency) {
            labels.append({QLatin1Char('E') + QString::number(i + 1), CoreKind::efficiency});
        } else if (i < efficiency + performance) {
            labels.append(
                {QLatin1Char('P') + QString::number(i - efficiency + 1), CoreKind::performance});
        } else {
            labels.append({QLatin1Char('C') + QString::number(i - efficiency - performance + 1),
                           CoreKind::plain});
        }
    }
    return labels;
}
