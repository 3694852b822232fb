#pragma once

#include "views/dashboard/DashboardCard.h"

class RingGauge;

// Memory: the pressure and usage gauges, the wired, compressed and cached amounts, used and
// total, swap, the paging rates and, from the helper, the memory's temperature.
class MemoryCard final : public DashboardCard {
    Q_OBJECT
public:
    explicit MemoryCard(QWidget* parent = nullptr);
    void refresh(const SystemMonitor& monitor) override;

private:
    void accentChanged() override;

    RingGauge* pressure_;
    RingGauge* usage_;
    ValueRow* wired_;
    ValueRow* compressed_;
    ValueRow* cached_;
    ValueRow* used_;
    ValueRow* swap_;
    ValueRow* pageIns_;
    ValueRow* pageOuts_;
    ValueRow* temperature_;
};
