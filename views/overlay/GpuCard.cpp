#include "views/overlay/GpuCard.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/graphs/GlowGraphView.h"
#include "views/kit/ValueRow.h"

#include <QVBoxLayout>

GpuCard::GpuCard(QWidget* parent)
    : OverlayCard(QStringLiteral("rectangle.3.group"), QStringLiteral("GPU"), parent),
      graph_(new GlowGraphView) {
    graph_->setFixedHeight(46);
    graph_->setAccessibleName(QStringLiteral("GPU history"));
    body()->addWidget(graph_);
    model_ = addRow(QStringLiteral("Model"));
    memory_ = addRow(QStringLiteral("VRAM"));
    temperature_ = addRow(QStringLiteral("Temperature"));
    power_ = addRow(QStringLiteral("Power"));
    body()->addStretch(1);
}

void GpuCard::refresh(const SystemMonitor& monitor) {
    const GPUStats& gpu = monitor.gpu();
    setValue(percentText(gpu.utilization));
    graph_->setValues(monitor.histories().gpu.values());
    model_->setValue(gpu.name.isEmpty() ? noValueText() : gpu.name);
    // A GPU that reports no memory of its own (or no GPU at all) has no VRAM figure.
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
