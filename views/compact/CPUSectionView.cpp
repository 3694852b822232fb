#include "views/compact/CPUSectionView.h"

#include "core/AppSettings.h"
#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/graphs/CoreBarView.h"
#include "views/graphs/MiniGraphView.h"
#include "views/kit/StateBadge.h"
#include "views/kit/StateColors.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int graphHeight = 40;
constexpr int coreLabelWidth = 18;
constexpr int corePercentWidth = 28;
constexpr int coreBarHeight = 6;

QLabel* coreText(Qt::Alignment alignment, int minimumWidth) {
    auto* label = new QLabel;
    label->setFont(ViewFonts::monospacedDigits(ViewFonts::shared().smallCaption));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ViewPalette::secondaryText());
    label->setPalette(palette);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setMinimumWidth(minimumWidth);
    return label;
}

QColor coreColor(CoreKind kind, const QColor& accent) {
    switch (kind) {
        case CoreKind::performance:
            return accent;
        case CoreKind::efficiency:
            return ViewPalette::green();
        case CoreKind::plain:
            break;
    }
    return ViewPalette::blue();
}

}  // namespace

void showThermalState(StateBadge& badge, ThermalState state) {
    badge.setText(thermalStateText(state));
    badge.setColor(thermalStateColor(state));
}

CPUSectionView::CPUSectionView(const SystemMonitor& monitor, const AppSettings& settings,
                               QWidget* parent)
    : SectionView(QStringLiteral("cpu"), QStringLiteral("CPU"), parent),
      monitor_(monitor),
      settings_(settings),
      graph_(sectionGraph(QStringLiteral("CPU history"), graphHeight)),
      cores_(new QGridLayout),
      thermal_(new StateBadge),
      cpuTemperature_(sectionRow(QStringLiteral("CPU Temperature"))),
      ioTemperature_(sectionRow(QStringLiteral("IO Temperature"))),
      systemPower_(sectionRow(QStringLiteral("System Power"))) {
    body()->addWidget(graph_);

    cores_->setContentsMargins(0, 0, 0, 0);
    cores_->setHorizontalSpacing(6);
    cores_->setVerticalSpacing(3);
    cores_->setColumnStretch(1, 1);
    body()->addLayout(cores_);

    auto* thermalRow = new QHBoxLayout;
    thermalRow->setContentsMargins(0, 0, 0, 0);
    thermalRow->addWidget(
        sectionCaption(QStringLiteral("Thermal Pressure"), ViewPalette::secondaryText()));
    thermalRow->addStretch(1);
    thermal_->setLabel(QStringLiteral("Thermal Pressure"));
    thermalRow->addWidget(thermal_);
    body()->addLayout(thermalRow);

    for (ValueRow* row : {cpuTemperature_, ioTemperature_, systemPower_}) {
        row->setVisible(false);
        body()->addWidget(row);
    }
}

void CPUSectionView::refresh() {
    const CPUStats& cpu = monitor_.cpu();
    const QColor accent = accentColor(settings_);
    setValue(percentText(cpu.overall));
    graph_->setColor(accent);
    graph_->setValues(monitor_.histories().cpu.values());

    const QVector<CoreLabel> labels = coreLabels(cpu);
    if (labels != coreLabels_) {
        layOutCores(labels);
    }
    for (qsizetype i = 0; i < coreRows_.size(); ++i) {
        const CoreRow& row = coreRows_[i];
        const double load = cpu.perCore[i];
        row.bar->setValue(load);
        row.bar->setColor(coreColor(coreLabels_[i].kind, accent));
        row.percent->setText(percentText(load));
    }

    showThermalState(*thermal_, monitor_.thermalState());
    const SensorStats& sensors = monitor_.sensors();
    showSensorRow(*cpuTemperature_, sensors.cpuTempCelsius, temperatureText);
    showSensorRow(*ioTemperature_, sensors.ioTempCelsius, temperatureText);
    showSensorRow(*systemPower_, sensors.systemPowerWatts, powerText);
}

void CPUSectionView::layOutCores(const QVector<CoreLabel>& labels) {
    // Rows are kept while the count holds; only a new count or split rebuilds them.
    while (coreRows_.size() > labels.size()) {
        const CoreRow row = coreRows_.takeLast();
        delete row.label;
        delete row.bar;
        delete row.percent;
    }
    while (coreRows_.size() < labels.size()) {
        const int line = static_cast<int>(coreRows_.size());
        CoreRow row{coreText(Qt::AlignLeft, coreLabelWidth), new CoreBarView,
                    coreText(Qt::AlignRight, corePercentWidth)};
        row.bar->setFixedHeight(coreBarHeight);
        cores_->addWidget(row.label, line, 0);
        cores_->addWidget(row.bar, line, 1);
        cores_->addWidget(row.percent, line, 2);
        coreRows_.append(row);
    }
    for (qsizetype i = 0; i < labels.size(); ++i) {
        coreRows_[i].label->setText(labels[i].text);
        coreRows_[i].bar->setLabel(labels[i].text);
    }
    coreLabels_ = labels;
}
