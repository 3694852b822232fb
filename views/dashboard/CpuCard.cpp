#include "views/dashboard/CpuCard.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/graphs/GlowGraphView.h"
#include "views/kit/CoreRows.h"
#include "views/kit/StateBadge.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int graphHeight = 46;

CoreRows::Style coreStyle() {
    const QFont font = ViewFonts::shared().smallCaption;
    return {font, QFontMetrics(font).horizontalAdvance(QStringLiteral("P00")) + 2, false, true};
}

// The three load averages, or the missing-value text when one of them is not a number.
QString loadText(const LoadAverages& load) {
    const bool numbers =
        std::isfinite(load.one) && std::isfinite(load.five) && std::isfinite(load.fifteen);
    return numbers ? loadAveragesText(load) : noValueText();
}

}  // namespace

CpuCard::CpuCard(QWidget* parent)
    : DashboardCard(QStringLiteral("cpu"), QStringLiteral("CPU"), parent),
      graph_(new GlowGraphView),
      cores_(new CoreRows(coreStyle())) {
    graph_->setFixedHeight(graphHeight);
    graph_->setAccessibleName(QStringLiteral("CPU history"));
    body()->addWidget(graph_);
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
    const CpuStats& cpu = monitor.cpu();
    setReading(cpu.overall, percentText);
    graph_->setValues(monitor.histories().cpu.values());
    cores_->refresh(cpu);

    user_->setValue(readingText(cpu.userPercent, percentText));
    system_->setValue(readingText(cpu.systemPercent, percentText));
    load_->setValue(loadText(cpu.loadAvg));
    uptime_->setValue(uptimeText(cpu.uptimeSeconds));
    showThermalState(*thermal_, monitor.thermalState());

    const SensorStats& sensors = monitor.sensors();
    showReading(*temperature_, sensors.cpuTempCelsius, temperatureText);
    showReading(*ioTemperature_, sensors.ioTempCelsius, temperatureText);
    showReading(*systemPower_, sensors.systemPowerWatts, powerText);
}

void CpuCard::accentChanged() {
    graph_->setColor(accent());
    cores_->setAccent(accent());
}
