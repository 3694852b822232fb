#include "views/compact/DiskSectionView.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/kit/LevelBar.h"
#include "views/kit/StateColors.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewPalette.h"

#include <QVBoxLayout>

DiskSectionView::DiskSectionView(const SystemMonitor& monitor, QWidget* parent)
    : SectionView(QStringLiteral("internaldrive"), QStringLiteral("Disk"), parent),
      monitor_(monitor),
      usage_(new LevelBar) {
    usage_->setLabel(QStringLiteral("Disk"));
    body()->addWidget(usage_);
    usedAndFree_ = addRow();
    usedAndFree_->setValueColor(ViewPalette::secondaryText());
    temperature_ = addRow(QStringLiteral("SSD Temperature"));
    temperature_->setVisible(false);
}

void DiskSectionView::refresh() {
    const DiskStats& disk = monitor_.disk();
    const double used = diskFraction(disk);
    usage_->setValue(used);
    usage_->setFillColor(diskUsageColor(used));
    usedAndFree_->setLabel(QStringLiteral("Used: ") + diskSizeText(disk.usedBytes) +
                           QStringLiteral(" of ") + diskSizeText(disk.totalBytes));
    usedAndFree_->setValue(QStringLiteral("Free: ") + diskSizeText(disk.availableBytes));
    showReading(*temperature_, monitor_.sensors().ssdTempCelsius, temperatureText);
    showCategories(disk.categories);
}

void DiskSectionView::showCategories(const QVector<StorageCategory>& categories) {
    const auto make = [this] {
        ValueRow* row = addRow();
        row->setLabelColor(ViewPalette::primaryText());
        row->setSymbolColor(ViewPalette::secondaryText());
        return row;
    };
    showRows(categories_, categories.size(), make, [&](ValueRow& row, qsizetype i) {
        row.setSymbol(categories[i].icon);
        row.setLabel(categories[i].name);
        row.setValue(diskSizeText(categories[i].bytes));
    });
}
