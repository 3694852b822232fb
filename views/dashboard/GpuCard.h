#pragma once

#include "views/dashboard/DashboardCard.h"

class GlowGraphView;
class QLabel;

// The GPU: "No GPU" on machines without one; otherwise its history in the accent colour, its
// model, its memory and, from the helper, its temperature and power.
class GpuCard final : public DashboardCard {
    Q_OBJECT
public:
    explicit GpuCard(QWidget* parent = nullptr);
    void refresh(const SystemMonitor& monitor) override;

private:
    void accentChanged() override;

    QLabel* noGpu_;
    QWidget* details_;
    GlowGraphView* graph_;
    ValueRow* model_;
    ValueRow* memory_;
    ValueRow* temperature_;
    ValueRow* power_;
};
