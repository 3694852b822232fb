#include "views/compact/CompactProcessesView.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QLabel>
#include <QVBoxLayout>

CompactProcessesView::CompactProcessesView(const SystemMonitor& monitor, QWidget* parent)
    : SectionView(parent),
      monitor_(monitor),
      noData_(captionLabel(QStringLiteral("No data"), ViewPalette::secondaryText())) {
    setAccessibleName(QStringLiteral("Top Processes"));
    body()->addWidget(
        captionLabel(QStringLiteral("Top Processes"), ViewPalette::secondaryText(), true));
    body()->addWidget(noData_);
}

void CompactProcessesView::refresh() {
    const QVector<TopProcess>& processes = monitor_.processes().topByCpu;
    const auto make = [this] {
        ValueRow* row = addRow();
        row->setLabelColor(ViewPalette::primaryText());
        QFont share = ViewFonts::monospacedDigits(ViewFonts::shared().caption);
        share.setBold(true);
        row->setValueFont(share);
        row->setValueColor(ViewPalette::purple());
        return row;
    };
    showRows(rows_, processes.size(), make, [&](ValueRow& row, qsizetype i) {
        row.setLabel(processes[i].name);
        row.setValue(readingText(processes[i].cpuPercent, decimalPercentText));
    });
    noData_->setVisible(processes.isEmpty());
}
