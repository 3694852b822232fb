#include "views/compact/NetworkSectionView.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/graphs/MiniGraphView.h"
#include "views/kit/GraphGeometry.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QGridLayout>
#include <QVBoxLayout>

namespace {

constexpr int graphHeight = 30;

ValueRow* rateRow(const QString& symbol, const QColor& color, const QString& direction) {
    auto* row = new ValueRow;
    row->setSymbol(symbol);
    row->setSymbolColor(color);
    row->setLabelFont(ViewFonts::monospacedDigits(ViewFonts::shared().subheadline));
    row->setLabelColor(ViewPalette::primaryText());
    // The rate is the row's text; the direction tells a screen reader which one it is.
    row->setAccessibleDescription(direction);
    return row;
}

}  // namespace

NetworkSectionView::NetworkSectionView(const SystemMonitor& monitor, QWidget* parent)
    : SectionView(QString(), QStringLiteral("Network"), parent),
      monitor_(monitor),
      upload_(rateRow(QStringLiteral("arrow.up"), ViewPalette::orange(), QStringLiteral("Upload"))),
      download_(
          rateRow(QStringLiteral("arrow.down"), ViewPalette::green(), QStringLiteral("Download"))),
      uploadGraph_(sectionGraph(QStringLiteral("Upload history"), graphHeight)),
      downloadGraph_(sectionGraph(QStringLiteral("Download history"), graphHeight)) {
    uploadGraph_->setColor(ViewPalette::orange());
    downloadGraph_->setColor(ViewPalette::green());
    auto* columns = new QGridLayout;
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setHorizontalSpacing(12);
    columns->setVerticalSpacing(4);
    columns->addWidget(upload_, 0, 0);
    columns->addWidget(download_, 0, 1);
    columns->addWidget(uploadGraph_, 1, 0);
    columns->addWidget(downloadGraph_, 1, 1);
    columns->setColumnStretch(0, 1);
    columns->setColumnStretch(1, 1);
    body()->addLayout(columns);
}

void NetworkSectionView::refresh() {
    const NetworkStats& network = monitor_.network();
    upload_->setLabel(readingText(network.uploadSpeed, byteRateText));
    download_->setLabel(readingText(network.downloadSpeed, byteRateText));
    // Each graph fills its height with its own highest rate; a quiet history lies flat.
    uploadGraph_->setValues(normalize(monitor_.histories().networkUp.values()));
    downloadGraph_->setValues(normalize(monitor_.histories().networkDown.values()));
}
