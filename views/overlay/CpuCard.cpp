#include "views/overlay/CpuCard.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/graphs/CoreBarView.h"
#include "views/graphs/GlowGraphView.h"
#include "views/kit/StateBadge.h"
#include "views/kit/StateColors.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int graphHeight = 46;

// Cores side by side, so that a many-core machine does not make the card very tall.
int coreColumnsFor(qsizetype cores) {
    if (cores > 16) {
        return 4;
    }
    return cores > 4 ? 2 : 1;
}

}  // namespace

CpuCard::CpuCard(QWidget* parent)
    : OverlayCard(QStringLiteral("cpu"), QStringLiteral("CPU"), parent),
      graph_(new GlowGraphView),
      cores_(new QGridLayout) {
    graph_->setFixedHeight(graphHeight);
    graph_->setAccessibleName(QStringLiteral("CPU history"));
    body()->addWidget(graph_);
    cores_->setContentsMargins(0, 0, 0, 0);
    cores_->setHorizontalSpacing(8);
    cores_->setVerticalSpacing(4);
    body()->addLayout(cores_);
    user_ = addRow(QStringLiteral("User"));
    system_ = addRow(QStringLiteral("System"));
    load_ = addRow(QStringLiteral("Load"));
    uptime_ = addRow(QStringLiteral("Uptime"));

    auto* thermalRow = new QHBoxLayout;
    auto* thermalLabel = new QLabel(QStringLiteral("Thermal"));
    thermalLabel->setFont(ViewFonts::shared().caption);
    QPalette palette = thermalLabel->palette();
    palette.setColor(QPalette::WindowText, ViewPalette::secondaryText());
    thermalLabel->setPalette(palette);
    thermal_ = new StateBadge;
    thermal_->setLabel(QStringLiteral("Thermal"));
    thermalRow->addWidget(thermalLabel);
    thermalRow->addStretch(1);
    thermalRow->addWidget(thermal_);
    body()->addLayout(thermalRow);

    temperature_ = addRow(QStringLiteral("Temperature"));
    ioTemperature_ = addRow(QStringLiteral("IO Temp"));
    systemPower_ = addRow(QStringLiteral("System Power"));
    body()->addStretch(1);
}

void CpuCard::refresh(const SystemMonitor& monitor) {
    const CPUStats& cpu = monitor.cpu();
    setValue(percentText(cpu.overall));
    graph_->setValues(monitor.histories().cpu.values());

    const QVector<CoreLabel> labels = coreLabels(cpu);
    if (labels != coreLabels_) {
        rebuildCores(labels);
    }
    for (qsizetype i = 0; i < coreBars_.size(); ++i) {
        coreBars_[i]->setValue(cpu.perCore[i]);
    }

    user_->setValue(percentText(cpu.userPercent));
    system_->setValue(percentText(cpu.systemPercent));
    load_->setValue(loadAveragesText(cpu.loadAvg));
    uptime_->setValue(uptimeText(cpu.uptimeSeconds));
    thermal_->setText(thermalStateText(monitor.thermalState()));
    thermal_->setColor(thermalStateColor(monitor.thermalState()));

    const SensorStats& sensors = monitor.sensors();
    showReading(*temperature_, sensors.cpuTempCelsius, temperatureText);
    showReading(*ioTemperature_, sensors.ioTempCelsius, temperatureText);
    showReading(*systemPower_, sensors.systemPowerWatts, powerText);
}

void CpuCard::rebuildCores(const QVector<CoreLabel>& labels) {
    while (QLayoutItem* item = cores_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    coreBars_.clear();
    coreLabels_ = labels;
    const int columns = coreColumnsFor(labels.size());
    const QFont font = ViewFonts::shared().smallCaption;
    const int labelWidth = QFontMetrics(font).horizontalAdvance(QStringLiteral("P00")) + 2;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const int row = static_cast<int>(i) / columns;
        const int column = static_cast<int>(i) % columns * 2;
        auto* label = new QLabel(labels[i].text);
        label->setFont(font);
        label->setFixedWidth(labelWidth);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, ViewPalette::secondaryText());
        label->setPalette(palette);
        auto* bar = new CoreBarView;
        bar->setLabel(labels[i].text);
        bar->setColor(coreColor(labels[i].kind));
        cores_->addWidget(label, row, column);
        cores_->addWidget(bar, row, column + 1);
        cores_->setColumnStretch(column + 1, 1);
        coreBars_.append(bar);
    }
}

QColor CpuCard::coreColor(CoreKind kind) const {
    switch (kind) {
        case CoreKind::performance:
            return accent();
        case CoreKind::efficiency:
            return ViewPalette::green();
        case CoreKind::plain:
            break;
    }
    return ViewPalette::blue();
}

void CpuCard::accentChanged() {
    graph_->setColor(accent());
    for (qsizetype i = 0; i < coreBars_.size(); ++i) {
        coreBars_[i]->setColor(coreColor(coreLabels_[i].kind));
    }
}
