#include "views/dashboard/MemoryCard.h"

#include "core/MemoryPressure.h"
#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/kit/RingGauge.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewPalette.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

constexpr int gaugeDiameter = 36;

QString usedOfTotal(std::uint64_t used, std::uint64_t total) {
    return formatBytes(used) + QLatin1String(" / ") + formatBytes(total);
}

// Green while memory is plentiful, orange when it runs low, red when the system swaps hard.
QColor pressureColor(int level) {
    if (level >= 2) {
        return ViewPalette::red();
    }
    return level == 1 ? ViewPalette::orange() : ViewPalette::green();
}

}  // namespace

MemoryCard::MemoryCard(QWidget* parent)
    : DashboardCard(QStringLiteral("memorychip"), QStringLiteral("Memory"), parent),
      pressure_(new RingGauge(QStringLiteral("PRESS"))),
      usage_(new RingGauge(QStringLiteral("MEM"))) {
    auto* gauges = new QHBoxLayout;
    gauges->setSpacing(24);
    gauges->addStretch(1);
    for (RingGauge* gauge : {pressure_, usage_}) {
        gauge->setDiameter(gaugeDiameter);
        gauges->addWidget(gauge);
    }
    gauges->addStretch(1);
    body()->addLayout(gauges);
    wired_ = addRow(QStringLiteral("Wired"));
    compressed_ = addRow(QStringLiteral("Compressed"));
    cached_ = addRow(QStringLiteral("Cached"));
    used_ = addRow(QStringLiteral("Used"));
    swap_ = addRow(QStringLiteral("Swap"));
    pageIns_ = addRow(QStringLiteral("Page In"));
    pageOuts_ = addRow(QStringLiteral("Page Out"));
    temperature_ = addRow(QStringLiteral("Temperature"));
    body()->addStretch(1);
}

void MemoryCard::refresh(const SystemMonitor& monitor) {
    const RamStats& ram = monitor.ram();
    setReading(memoryFraction(ram), percentText);
    pressure_->setValue(memoryPressurePercent(ram) / 100.0);
    pressure_->setColor(pressureColor(ram.pressureLevel));
    usage_->setValue(memoryFraction(ram));
    wired_->setValue(formatBytes(ram.wiredBytes));
    compressed_->setValue(formatBytes(ram.compressedBytes));
    cached_->setValue(formatBytes(ram.cachedBytes));
    used_->setValue(usedOfTotal(ram.usedBytes, ram.totalBytes));
    swap_->setValue(usedOfTotal(ram.swapUsedBytes, ram.swapTotalBytes));
    pageIns_->setValue(readingText(ram.pageInsPerSec, pageRateText));
    pageOuts_->setValue(readingText(ram.pageOutsPerSec, pageRateText));
    showReading(*temperature_, monitor.sensors().memoryTempCelsius, temperatureText);
}

void MemoryCard::accentChanged() {
    usage_->setColor(accent());
}
