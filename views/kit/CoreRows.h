#pragma once

#include "core/SampleRecords.h"
#include "views/kit/CoreLabels.h"

#include <QColor>
#include <QFont>
#include <QGridLayout>
#include <QVector>

class LevelBar;
class QLabel;

// One row per core of the CPU: its label ("E1", "P1", "C1"), a bar of its load and, when asked
// for, its percent. Efficiency cores are green, performance cores in the accent colour, plain
// cores blue. The rows are rebuilt only when the cores' count or split changes.
class CoreRows final : public QGridLayout {
public:
    struct Style {
        QFont labelFont;
        int labelWidth = 0;       // the least width of a label
        bool percents = false;    // a percent after each bar
        bool sideBySide = false;  // cores side by side, so a many-core machine stays short
    };
    explicit CoreRows(const Style& style);

    void setAccent(const QColor& accent);
    void refresh(const CpuStats& cpu);

private:
    struct Row {
        QLabel* label;
        LevelBar* bar;
        QLabel* percent;  // null without percents
    };
    void rebuild(const QVector<CoreLabel>& labels);
    QLabel* text(Qt::Alignment alignment, int minimumWidth) const;
    QColor colorOf(CoreKind kind) const;

    Style style_;
    QColor accent_;
    QVector<CoreLabel> labels_;
    QVector<Row> rows_;
};
