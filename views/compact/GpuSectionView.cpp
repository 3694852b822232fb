#include "views/compact/GpuSectionView.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/graphs/MiniGraphView.h"
#include "views/kit/LevelBar.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewPalette.h"

#include <QVBoxLayout>

#include <initializer_list>

namespace {

constexpr int graphHeight = 40;
constexpr double memoryFillOpacity = 0.7;

}  // namespace

GpuSectionView::GpuSectionView(const SystemMonitor& monitor, QWidget* parent)
    : SectionView(QString(), QStringLiteral("GPU"), parent),
      monitor_(monitor),
      graph_(sectionGraph(QStringLiteral("GPU history"), graphHeight)),
      memoryBar_(new LevelBar) {
    graph_->setColor(ViewPalette::cyan());
    body()->addWidget(graph_);
    memory_ = addRow(QStringLiteral("Memory"));
    memoryBar_->setLabel(QStringLiteral("GPU memory"));
    memoryBar_->setFillColor(ViewPalette::cyan());
    memoryBar_->setFillOpacity(memoryFillOpacity);
    body()->addWidget(memoryBar_);
    temperature_ = addRow(QStringLiteral("GPU Temperature"));
    power_ = addRow(QStringLiteral("GPU Power"));
    for (ValueRow* row : {temperature_, power_}) {
        row->setVisible(false);
    }
}

void GpuSectionView::refresh() {
    const GpuStats& gpu = monitor_.gpu();
    // A machine without a GPU says so, rather than a busy 0 % over a flat graph.
    const bool hasGpu = gpu.acceleratorCount > 0;
    for (QWidget* figure : std::initializer_list<QWidget*>{graph_, memory_, memoryBar_}) {
        figure->setVisible(hasGpu);
    }
    if (!hasGpu) {
        setValue(noValueText());
        temperature_->setVisible(false);
        power_->setVisible(false);
        return;
    }
    setReading(gpu.utilization, percentText);
    graph_->setValues(monitor_.histories().gpu.values());
    // No memory figures (no GPU, or one that does not say) show a dash, not "0 MB / 0 MB".
    const bool memoryKnown = gpu.totalMemoryBytes > 0;
    memory_->setValue(memoryKnown ? formatBytes(gpu.usedMemoryBytes) + QStringLiteral(" / ") +
                                        formatBytes(gpu.totalMemoryBytes)
                                  : noValueText());
    memoryBar_->setValue(memoryKnown ? static_cast<double>(gpu.usedMemoryBytes) /
                                           static_cast<double>(gpu.totalMemoryBytes)
                                     : 0.0);
    const SensorStats& sensors = monitor_.sensors();
    showReading(*temperature_, sensors.gpuTempCelsius, temperatureText);
    showReading(*power_, sensors.gpuPowerWatts, powerText);
}
