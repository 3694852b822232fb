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
      noData_(sectionCaption(QStringLiteral("No data"), ViewPalette::secondaryText())) {
    setAccessibleName(QStringLiteral("Top Processes"));
    body()->addWidget(
        sectionCaption(QStringLiteral("Top Processes"), ViewPalette::secondaryText(), true));
    body()->addWidget(noData_);
}

void CompactProcessesView::refresh() {
    const QVector<TopProcess>& processes = monitor_.processes().topByCPU;
    while (rows_.size() < processes.size()) {
        auto* row = sectionRow(QString());
        row->setLabelColor(ViewPalette::primaryText());
        QFont share = ViewFonts::monospacedDigits(ViewFonts::shared().caption);
        share.setBold(true);
        row->setValueFont(share);
        row->setValueColor(ViewPalette::purple());
        body()->addWidget(row);
        rows_.append(row);
    }
    for (qsizetype i = 0; i < rows_.size(); ++i) {
        const bool present = i < processes.size();
        if (present) {
            rows_[i]->setLabel(processes[i].name);
            rows_[i]->setValue(decimalPercentText(processes[i].cpuPercent));
        }
        rows_[i]->setVisible(present);
    }
    noData_->setVisible(processes.isEmpty());
}
