#include "views/compact/DiskSectionView.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/kit/LevelBar.h"
#include "views/kit/StateColors.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewPalette.h"

#include <QVBoxLayout>

#include <algorithm>

namespace {

// Disk sizes are signed; a negative one is a reader's fault and shows as nothing.
QString sizeText(std::int64_t bytes) {
    return formatBytes(static_cast<std::uint64_t>(std::max<std::int64_t>(0, bytes)));
}

}  // namespace

DiskSectionView::DiskSectionView(const SystemMonitor& monitor, QWidget* parent)
    : SectionView(QStringLiteral("internaldrive"), QStringLiteral("Disk"), parent),
      monitor_(monitor),
      usage_(new LevelBar),
      usedAndFree_(sectionRow(QString())),
      temperature_(sectionRow(QStringLiteral("SSD Temperature"))) {
    usage_->setLabel(QStringLiteral("Disk"));
    body()->addWidget(usage_);
    usedAndFree_->setValueColor(ViewPalette::secondaryText());
    body()->addWidget(usedAndFree_);
    temperature_->setVisible(false);
    body()->addWidget(temperature_);
}

void DiskSectionView::refresh() {
    const DiskStats& disk = monitor_.disk();
    const double used = diskFraction(disk);
    usage_->setValue(used);
    usage_->setFillColor(diskUsageColor(used));
    usedAndFree_->setLabel(QStringLiteral("Used: ") + sizeText(disk.usedBytes) +
                           QStringLiteral(" of ") + sizeText(disk.totalBytes));
    usedAndFree_->setValue(QStringLiteral("Free: ") + sizeText(disk.availableBytes));
    showSensorRow(*temperature_, monitor_.sensors().ssdTempCelsius, temperatureText);
    showCategories(disk.categories);
}

void DiskSectionView::showCategories(const QVector<StorageCategory>& categories) {
    while (categories_.size() < categories.size()) {
        auto* row = sectionRow(QString());
        row->setLabelColor(ViewPalette::primaryText());
        row->setSymbolColor(ViewPalette::secondaryText());
        body()->addWidget(row);
        categories_.append(row);
    }
    for (qsizetype i = 0; i < categories_.size(); ++i) {
        const bool present = i < categories.size();
        if (present) {
            const StorageCategory& category = categories[i];
            categories_[i]->setSymbol(category.icon);
            categories_[i]->setLabel(category.name);
            categories_[i]->setValue(sizeText(category.bytes));
        }
        categories_[i]->setVisible(present);
    }
}
