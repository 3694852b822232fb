#pragma once

#include "core/SampleRecords.h"

#include <QString>
#include <QVector>

// What kind of core one entry of a CPU's per-core list is.
enum class CoreKind { performance, efficiency, plain };

struct CoreLabel {
    QString text;  // "P1", "E2", "C3"
    CoreKind kind = CoreKind::plain;
    bool operator==(const CoreLabel&) const = default;
};

// A label for each entry of `cpu.perCore`. With a performance/efficiency split, the entries
// before `efficiencyCores` are "E1", "E2", … and the run of at most `performanceCores` after
// them "P1", "P2", …; without a usable split every entry is "C1", "C2", …. Entries past the
// split's runs keep counting as plain cores, so every entry has a label.
QVector<CoreLabel> coreLabels(const CPUStats& cpu);
