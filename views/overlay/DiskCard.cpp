#include "views/overlay/DiskCard.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/kit/LevelBar.h"
#include "views/kit/StateColors.h"
#include "views/kit/ValueRow.h"

#include <QVBoxLayout>

#include <algorithm>

namespace {

// Disk sizes are signed in the record; a negative size reads as nothing.
QString sizeText(std::int64_t bytes) {
    return formatBytes(static_cast<std::uint64_t>(std::max<std::int64_t>(bytes, 0)));
}

}  // namespace

DiskCard::DiskCard(QWidget* parent)
    : OverlayCard(QStringLiteral("internaldrive"), QStringLiteral("Disk"), parent),
      bar_(new LevelBar) {
    used_ = addRow(QStringLiteral("Used"));
    bar_->setLabel(QStringLiteral("Disk usage"));
    body()->addWidget(bar_);
    available_ = addRow(QStringLiteral("Available"));
    read_ = addRow(QStringLiteral("Read"));
    write_ = addRow(QStringLiteral("Write"));
    temperature_ = addRow(QStringLiteral("SSD Temp"));
    body()->addStretch(1);
}

void DiskCard::refresh(const SystemMonitor& monitor) {
    const DiskStats& disk = monitor.disk();
    const double used = diskFraction(disk);
    setValue(percentText(used));
    used_->setValue(sizeText(disk.usedBytes) + QLatin1String(" / ") + sizeText(disk.totalBytes));
    bar_->setValue(used);
    bar_->setFillColor(diskUsageColor(used));
    available_->setValue(sizeText(disk.availableBytes));
    read_->setValue(byteRateText(disk.readBytesPerSec));
    write_->setValue(byteRateText(disk.writeBytesPerSec));
    showReading(*temperature_, monitor.sensors().ssdTempCelsius, temperatureText);
}
