#include "views/dashboard/SummaryChips.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/dashboard/FlowLayout.h"
#include "views/kit/Chip.h"
#include "views/kit/MetricBlock.h"
#include "views/kit/StateColors.h"
#include "views/kit/ViewPalette.h"

SummaryChips::SummaryChips(QWidget* parent)
    : QWidget(parent),
      cpu_(new Chip(QStringLiteral("cpu"), QStringLiteral("CPU"))),
      gpu_(new Chip(QStringLiteral("rectangle.3.group"), QStringLiteral("GPU"))),
      memory_(new Chip(QStringLiteral("memorychip"), QStringLiteral("Memory"))),
      battery_(new Chip(QStringLiteral("battery.100"), QStringLiteral("Battery"))),
      disk_(new Chip(QStringLiteral("internaldrive"), QStringLiteral("Disk"))) {
    setAccessibleName(QStringLiteral("Summary"));
    auto* flow = new FlowLayout(8, 8, this);
    for (Chip* chip : {cpu_, gpu_, memory_, battery_, disk_}) {
        flow->addWidget(chip);
    }
}

void SummaryChips::refresh(const SystemMonitor& monitor) {
    cpu_->setValue(readingText(monitor.cpu().overall, percentText));
    const GpuStats& gpu = monitor.gpu();
    const bool hasGpu = gpu.acceleratorCount > 0;
    gpu_->setValue(hasGpu ? readingText(gpu.utilization, percentText) : noValueText());
    gpu_->setValueColor(hasGpu ? ViewPalette::primaryText() : ViewPalette::secondaryText());
    memory_->setValue(percentText(memoryFraction(monitor.ram())));
    disk_->setValue(percentText(diskFraction(monitor.disk())));
    const BatteryStats& battery = monitor.battery();
    if (battery.hasBattery) {
        battery_->setSymbol(batterySymbolName(battery));
        battery_->setSymbolColor(batteryLevelColor(battery));
        battery_->setValue(wholePercentText(battery.percentage));
        battery_->setValueColor(batteryLevelColor(battery));
    } else {
        battery_->setSymbolColor(ViewPalette::secondaryText());
        battery_->setValue(noValueText());
        battery_->setValueColor(ViewPalette::secondaryText());
    }
}
