#include "views/kit/CoreLabels.h"

namespace {

QString numbered(char prefix, int number) {
    return QLatin1Char(prefix) + QString::number(number);
}

}  // namespace

QVector<CoreLabel> coreLabels(const CPUStats& cpu) {
    const auto count = static_cast<int>(cpu.perCore.size());
    const bool split =
        cpu.performanceCores >= 1 && cpu.efficiencyCores >= 0 && cpu.efficiencyCores < count;
    QVector<CoreLabel> labels;
    labels.reserve(count);
    int plain = 0;
    for (int i = 0; i < count; ++i) {
        if (split && i < cpu.efficiencyCores) {
            labels.append({numbered('E', i + 1), CoreKind::efficiency});
        } else if (split && i < cpu.efficiencyCores + cpu.performanceCores) {
            labels.append({numbered('P', i - cpu.efficiencyCores + 1), CoreKind::performance});
        } else {
            labels.append({numbered('C', ++plain), CoreKind::plain});
        }
    }
    return labels;
}
