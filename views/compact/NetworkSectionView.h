#pragma once

#include "views/compact/SectionView.h"

class SystemMonitor;

// The network: the upload rate (orange) and the download rate (green) side by side, each
// over its history scaled to its own highest value.
class NetworkSectionView final : public SectionView {
    Q_OBJECT
public:
    explicit NetworkSectionView(const SystemMonitor& monitor, QWidget* parent = nullptr);
    void refresh() override;

private:
    const SystemMonitor& monitor_;
    ValueRow* upload_;
    ValueRow* download_;
    MiniGraphView* uploadGraph_;
    MiniGraphView* downloadGraph_;
};
