#include "views/kit/CoreRows.h"

#include "core/TextFormat.h"
#include "views/kit/LevelBar.h"
#include "views/kit/MetricBlock.h"
#include "views/kit/ViewPalette.h"

#include <QLabel>

namespace {

constexpr double barCornerRadius = 2;
constexpr int percentWidth = 28;

int columnsFor(qsizetype cores, bool sideBySide) {
    if (!sideBySide || cores <= 4) {
        return 1;
    }
    return cores > 16 ? 4 : 2;
}

}  // namespace

CoreRows::CoreRows(const Style& style) : style_(style), accent_(ViewPalette::purple()) {
    setContentsMargins(0, 0, 0, 0);
}

void CoreRows::setAccent(const QColor& accent) {
    accent_ = accent;
    for (qsizetype i = 0; i < rows_.size(); ++i) {
        rows_[i].bar->setFillColor(colorOf(labels_[i].kind));
    }
}

void CoreRows::refresh(const CpuStats& cpu) {
    const QVector<CoreLabel> labels = coreLabels(cpu);
    if (labels != labels_) {
        rebuild(labels);
    }
    for (qsizetype i = 0; i < rows_.size(); ++i) {
        rows_[i].bar->setValue(cpu.perCore[i]);
        if (rows_[i].percent != nullptr) {
            rows_[i].percent->setText(readingText(cpu.perCore[i], percentText));
        }
    }
}

void CoreRows::rebuild(const QVector<CoreLabel>& labels) {
    while (QLayoutItem* item = takeAt(0)) {
        delete item->widget();
        delete item;
    }
    rows_.clear();
    labels_ = labels;
    const int columns = columnsFor(labels.size(), style_.sideBySide);
    const int span = style_.percents ? 3 : 2;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const int line = static_cast<int>(i) / columns;
        const int column = static_cast<int>(i) % columns * span;
        Row row{text(Qt::AlignLeft, style_.labelWidth), new LevelBar, nullptr};
        row.label->setText(labels[i].text);
        row.bar->setLabel(labels[i].text);
        row.bar->setCornerRadius(barCornerRadius);
        row.bar->setFillColor(colorOf(labels[i].kind));
        addWidget(row.label, line, column);
        addWidget(row.bar, line, column + 1);
        setColumnStretch(column + 1, 1);
        if (style_.percents) {
            row.percent = text(Qt::AlignRight, percentWidth);
            addWidget(row.percent, line, column + 2);
        }
        rows_.append(row);
    }
}

QLabel* CoreRows::text(Qt::Alignment alignment, int minimumWidth) const {
    auto* label = new QLabel;
    label->setFont(style_.labelFont);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ViewPalette::secondaryText());
    label->setPalette(palette);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setMinimumWidth(minimumWidth);
    return label;
}

QColor CoreRows::colorOf(CoreKind kind) const {
    switch (kind) {
        case CoreKind::performance:
            return accent_;
        case CoreKind::efficiency:
            return ViewPalette::green();
        case CoreKind::plain:
            break;
    }
    return ViewPalette::blue();
}
