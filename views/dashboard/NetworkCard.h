#pragma once

#include "views/dashboard/DashboardCard.h"

class MiniGraphView;

// The network: the upload and download rates over their histories (each scaled to its own
// highest value), the provider's peaks, the interface with a symbol by its kind, and the
// public, local and IPv6 addresses when known.
class NetworkCard final : public DashboardCard {
    Q_OBJECT
public:
    explicit NetworkCard(QWidget* parent = nullptr);
    void refresh(const SystemMonitor& monitor) override;

private:
    ValueRow* upload_;
    ValueRow* download_;
    MiniGraphView* uploadGraph_;
    MiniGraphView* downloadGraph_;
    ValueRow* peakUpload_;
    ValueRow* peakDownload_;
    ValueRow* interface_;
    ValueRow* publicIP_;
    ValueRow* localIP_;
    ValueRow* ipv6_;
};
