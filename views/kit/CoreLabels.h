#pragma once

#include "core/SampleRecords.h"

#include <QString>
#include <QVector>

// What kind of processor a per-core entry stands for, and its label ("P1", "E2", "C3").
enum class CoreKind { performance, efficiency, plain };

struct CoreLabel {
    QString text;
    CoreKind kind = CoreKind::plain;
    bool operator==(const CoreLabel&) const = default;
};

// One label per entry of `perCore`. When the CPU reports both kinds of cores, the entries
// before `efficiencyCores` are "E1", "E2", …, the run of at most `performanceCores` after them
// "P1", "P2", …, and any entry past both runs "C1", "C2", …; otherwise every entry is "C<n>".
QVector<CoreLabel> coreLabels(const CpuStats& cpu);
