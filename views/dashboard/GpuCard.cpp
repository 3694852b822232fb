#include "views/dashboard/GpuCard.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/graphs/GlowGraphView.h"
#include "views/kit/ValueRow.h"

#include <QLabel>
#include <QVBoxLayout>

GpuCard::GpuCard(QWidget* parent)
    : DashboardCard(QStringLiteral("rectangle.3.group"), QStringLiteral("GPU"), parent),
      details_(new QWidget),
      graph_(new GlowGraphView) {
    noGpu_ = addNote(noGpuText());
    auto* rows = new QVBoxLayout(details_);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(6);
    graph_->setFixedHeight(46);
    graph_->setAccessibleName(QStringLiteral("GPU history"));
    rows->addWidget(graph_);
    model_ = addRow(QStringLiteral("Model"), rows);
    memory_ = addRow(QStringLiteral("VRAM"), rows);
    temperature_ = addRow(QStringLiteral("Temperature"), rows);
    power_ = addRow(QStringLiteral("Power"), rows);
    body()->addWidget(details_);
    body()->addStretch(1);
}

void GpuCard::refresh(const SystemMonitor& monitor) {
    const GpuStats& gpu = monitor.gpu();
    const bool hasGpu = gpu.acceleratorCount > 0;
    noGpu_->setVisible(!hasGpu);
    details_->setVisible(hasGpu);
    if (!hasGpu) {
        setValue(QString());
        return;
    }
    setReading(gpu.utilization, percentText);
    graph_->setValues(monitor.histories().gpu.values());
    model_->setValue(gpu.name.isEmpty() ? noValueText() : gpu.name);
    // A GPU that reports no memory of its own has no VRAM figure.
    memory_->setValue(gpu.totalMemoryBytes == 0
                          ? noValueText()
                          : formatBytes(gpu.usedMemoryBytes) + QLatin1String(" / ") +
                                formatBytes(gpu.totalMemoryBytes));
    const SensorStats& sensors = monitor.sensors();
    showReading(*temperature_, sensors.gpuTempCelsius, temperatureText);
    showReading(*power_, sensors.gpuPowerWatts, powerText);
}

void GpuCard::accentChanged() {
    graph_->setColor(accent());
}
