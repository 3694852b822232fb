#pragma once

#include "views/dashboard/DashboardCard.h"

class CoreRows;
class GlowGraphView;
class StateBadge;

// The CPU: its history in the accent colour, a bar per core labelled by kind, the user and
// system shares, the load averages, the uptime, the thermal state and, from the helper, the
// CPU and IO temperatures and the system's power.
class CpuCard final : public DashboardCard {
    Q_OBJECT
public:
    explicit CpuCard(QWidget* parent = nullptr);
    void refresh(const SystemMonitor& monitor) override;

private:
    void accentChanged() override;

    GlowGraphView* graph_;
    CoreRows* cores_;
    ValueRow* user_;
    ValueRow* system_;
    ValueRow* load_;
    ValueRow* uptime_;
    StateBadge* thermal_;
    ValueRow* temperature_;
    ValueRow* ioTemperature_;
    ValueRow* systemPower_;
};
