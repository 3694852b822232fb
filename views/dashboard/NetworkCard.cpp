#include "views/dashboard/NetworkCard.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/graphs/MiniGraphView.h"
#include "views/kit/GraphGeometry.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

constexpr int graphHeight = 22;
constexpr int ipv6Shown = 24;

QString interfaceSymbol(const QString& type) {
    if (type == QLatin1String("Wi-Fi")) {
        return QStringLiteral("wifi");
    }
    if (type == QLatin1String("Ethernet")) {
        return QStringLiteral("cable.connector.horizontal");
    }
    return QStringLiteral("network");
}

}  // namespace

NetworkCard::NetworkCard(QWidget* parent)
    : DashboardCard(QStringLiteral("arrow.up.arrow.down"), QStringLiteral("Network"), parent),
      upload_(new ValueRow(QStringLiteral("↑"))),
      download_(new ValueRow(QStringLiteral("↓"))),
      uploadGraph_(new MiniGraphView),
      downloadGraph_(new MiniGraphView) {
    auto* directions = new QHBoxLayout;
    directions->setSpacing(12);
    const QFont rateFont = ViewFonts::monospacedDigits(ViewFonts::shared().subheadline);
    const auto column = [&](ValueRow* rate, MiniGraphView* graph, const QColor& color,
                            const QString& name) {
        rate->setLabelColor(color);
        rate->setLabelFont(ViewFonts::shared().subheadline);
        rate->setValueFont(rateFont);
        graph->setColor(color);
        graph->setFixedHeight(graphHeight);
        graph->setAccessibleName(name);
        auto* box = new QVBoxLayout;
        box->setSpacing(4);
        box->addWidget(rate);
        box->addWidget(graph);
        directions->addLayout(box, 1);
    };
    column(upload_, uploadGraph_, ViewPalette::orange(), QStringLiteral("Upload history"));
    column(download_, downloadGraph_, ViewPalette::green(), QStringLiteral("Download history"));
    body()->addLayout(directions);
    peakUpload_ = addRow(QStringLiteral("Peak ↑"));
    peakDownload_ = addRow(QStringLiteral("Peak ↓"));
    interface_ = addRow(QString());
    publicIP_ = addRow(QStringLiteral("Public IP"));
    localIP_ = addRow(QStringLiteral("Local IP"));
    ipv6_ = addRow(QStringLiteral("IPv6"));
    body()->addStretch(1);
}

void NetworkCard::refresh(const SystemMonitor& monitor) {
    const NetworkStats& network = monitor.network();
    const MonitorHistories& histories = monitor.histories();
    upload_->setValue(readingText(network.uploadSpeed, byteRateText));
    download_->setValue(readingText(network.downloadSpeed, byteRateText));
    uploadGraph_->setValues(normalize(histories.networkUp.values()));
    downloadGraph_->setValues(normalize(histories.networkDown.values()));
    peakUpload_->setValue(readingText(network.peakUpload, byteRateText));
    peakDownload_->setValue(readingText(network.peakDownload, byteRateText));

    interface_->setSymbol(interfaceSymbol(network.interfaceType));
    interface_->setLabel(network.interfaceType.isEmpty() ? QStringLiteral("Interface")
                                                         : network.interfaceType);
    const QString name = !network.wifiName.isEmpty() ? network.wifiName : network.interfaceName;
    interface_->setValue(name.isEmpty() ? noValueText() : name);

    showText(*publicIP_, network.publicIP);
    showText(*localIP_, network.localIP);
    showText(*ipv6_, shortenedAddressText(network.ipv6, ipv6Shown));
}
