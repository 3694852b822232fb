#include "views/dashboard/ProcessesCard.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

QString cpuShare(const TopProcess& process) {
    return readingText(process.cpuPercent, decimalPercentText);
}

QString memory(const TopProcess& process) {
    return formatBytes(process.memoryBytes);
}

}  // namespace

ProcessesCard::ProcessesCard(QWidget* parent)
    : DashboardCard(QString(), QStringLiteral("Processes"), parent) {
    addList(byCpu_, QStringLiteral("cpu"), QStringLiteral("Top CPU"));
    addList(byMemory_, QStringLiteral("memorychip"), QStringLiteral("Top Memory"));
    body()->addStretch(1);
}

void ProcessesCard::addList(List& list, const QString& symbolName, const QString& heading) {
    auto* title = new ValueRow(heading);
    title->setSymbol(symbolName);
    QFont bold = ViewFonts::shared().caption;
    bold.setWeight(QFont::DemiBold);
    title->setLabelFont(bold);
    body()->addWidget(title);
    list.rows = new QVBoxLayout;
    list.rows->setSpacing(4);
    body()->addLayout(list.rows);
    list.empty = addNote(QStringLiteral("No data"));
}

void ProcessesCard::refresh(const SystemMonitor& monitor) {
    const ProcessStats& processes = monitor.processes();
    fill(byCpu_, processes.topByCpu, cpuShare);
    fill(byMemory_, processes.topByMemory, memory);
}

void ProcessesCard::fill(List& list, const QVector<TopProcess>& processes,
                         QString (*value)(const TopProcess&)) {
    const auto make = [&list] {
        auto* row = new ValueRow;
        row->setLabelColor(ViewPalette::primaryText());
        list.rows->addWidget(row);
        return row;
    };
    showRows(list.shown, processes.size(), make, [&](ValueRow& row, qsizetype i) {
        row.setLabel(processes[i].name);
        row.setValue(value(processes[i]));
    });
    list.empty->setVisible(processes.isEmpty());
}
