#include "views/dashboard/DiskCard.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/kit/LevelBar.h"
#include "views/kit/StateColors.h"
#include "views/kit/ValueRow.h"

#include <QVBoxLayout>

DiskCard::DiskCard(QWidget* parent)
    : DashboardCard(QStringLiteral("internaldrive"), QStringLiteral("Disk"), parent),
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
    setReading(used, percentText);
    used_->setValue(diskSizeText(disk.usedBytes) + QLatin1String(" / ") +
                    diskSizeText(disk.totalBytes));
    bar_->setValue(used);
    bar_->setFillColor(diskUsageColor(used));
    available_->setValue(diskSizeText(disk.availableBytes));
    read_->setValue(readingText(disk.readBytesPerSec, byteRateText));
    write_->setValue(readingText(disk.writeBytesPerSec, byteRateText));
    showReading(*temperature_, monitor.sensors().ssdTempCelsius, temperatureText);
}
