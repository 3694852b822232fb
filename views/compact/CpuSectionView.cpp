#include "views/compact/CpuSectionView.h"

#include "core/AppSettings.h"
#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/graphs/MiniGraphView.h"
#include "views/kit/CoreRows.h"
#include "views/kit/StateBadge.h"
#include "views/kit/StateColors.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int graphHeight = 40;
constexpr int coreLabelWidth = 18;

}  // namespace

CpuSectionView::CpuSectionView(const SystemMonitor& monitor, const AppSettings& settings,
                               QWidget* parent)
    : SectionView(QStringLiteral("cpu"), QStringLiteral("CPU"), parent),
      monitor_(monitor),
      settings_(settings),
      graph_(sectionGraph(QStringLiteral("CPU history"), graphHeight)),
      cores_(new CoreRows({ViewFonts::monospacedDigits(ViewFonts::shared().smallCaption),
                           coreLabelWidth, true, false})),
      thermal_(new StateBadge) {
    body()->addWidget(graph_);
    cores_->setHorizontalSpacing(6);
    cores_->setVerticalSpacing(3);
    body()->addLayout(cores_);

    auto* thermalRow = new QHBoxLayout;
    thermalRow->setContentsMargins(0, 0, 0, 0);
    thermalRow->addWidget(
        captionLabel(QStringLiteral("Thermal Pressure"), ViewPalette::secondaryText()));
    thermalRow->addStretch(1);
    thermal_->setLabel(QStringLiteral("Thermal Pressure"));
    thermalRow->addWidget(thermal_);
    body()->addLayout(thermalRow);

    cpuTemperature_ = addRow(QStringLiteral("CPU Temperature"));
    ioTemperature_ = addRow(QStringLiteral("IO Temperature"));
    systemPower_ = addRow(QStringLiteral("System Power"));
    for (ValueRow* row : {cpuTemperature_, ioTemperature_, systemPower_}) {
        row->setVisible(false);
    }
}

void CpuSectionView::refresh() {
    const CpuStats& cpu = monitor_.cpu();
    const QColor accent = accentColor(settings_);
    setReading(cpu.overall, percentText);
    graph_->setColor(accent);
    graph_->setValues(monitor_.histories().cpu.values());
    cores_->setAccent(accent);
    cores_->refresh(cpu);

    showThermalState(*thermal_, monitor_.thermalState());
    const SensorStats& sensors = monitor_.sensors();
    showReading(*cpuTemperature_, sensors.cpuTempCelsius, temperatureText);
    showReading(*ioTemperature_, sensors.ioTempCelsius, temperatureText);
    showReading(*systemPower_, sensors.systemPowerWatts, powerText);
}
