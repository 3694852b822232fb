#include "views/compact/RamSectionView.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/graphs/MiniGraphView.h"
#include "views/kit/LevelBar.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewPalette.h"

#include <QVBoxLayout>

namespace {

constexpr int graphHeight = 40;

double shareOf(std::uint64_t part, std::uint64_t total) {
    return total == 0 ? 0.0 : static_cast<double>(part) / static_cast<double>(total);
}

}  // namespace

RamSectionView::RamSectionView(const SystemMonitor& monitor, QWidget* parent)
    : SectionView(QStringLiteral("memorychip"), QStringLiteral("Memory"), parent),
      monitor_(monitor),
      graph_(sectionGraph(QStringLiteral("Memory history"), graphHeight)),
      composition_(new LevelBar) {
    graph_->setColor(ViewPalette::blue());
    body()->addWidget(graph_);
    composition_->setLabel(QStringLiteral("Memory"));
    body()->addWidget(composition_);
    wired_ = addRow(QStringLiteral("Wired"));
    compressed_ = addRow(QStringLiteral("Compressed"));
    cached_ = addRow(QStringLiteral("Cached"));
    totalAndFree_ = addRow();
    temperature_ = addRow(QStringLiteral("Memory Temperature"));
    wired_->setLabelColor(ViewPalette::purple());
    compressed_->setLabelColor(ViewPalette::orange());
    cached_->setLabelColor(ViewPalette::secondaryText());
    totalAndFree_->setValueColor(ViewPalette::secondaryText());
    temperature_->setVisible(false);
}

void RamSectionView::refresh() {
    const RamStats& ram = monitor_.ram();
    const double used = memoryFraction(ram);
    setReading(used, percentText);
    graph_->setValues(monitor_.histories().ram.values());
    composition_->setValue(used);
    composition_->setSegments({
        {shareOf(ram.wiredBytes, ram.totalBytes), ViewPalette::purple()},
        {shareOf(ram.compressedBytes, ram.totalBytes), ViewPalette::orange()},
        {shareOf(ram.cachedBytes, ram.totalBytes), ViewPalette::secondaryText()},
    });
    wired_->setValue(formatBytes(ram.wiredBytes));
    compressed_->setValue(formatBytes(ram.compressedBytes));
    cached_->setValue(formatBytes(ram.cachedBytes));
    totalAndFree_->setLabel(QStringLiteral("Total: ") + formatBytes(ram.totalBytes));
    totalAndFree_->setValue(QStringLiteral("Free: ") + formatBytes(ram.freeBytes));
    showReading(*temperature_, monitor_.sensors().memoryTempCelsius, temperatureText);
}
