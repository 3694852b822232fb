#pragma once

#include "views/dashboard/DashboardCard.h"

class QLabel;

// The battery: "No battery" on machines without one; otherwise its time estimate, health,
// cycles, power while it flows, voltage, condition and capacity and, from the helper, its
// temperature and the charger's power.
class BatteryCard final : public DashboardCard {
    Q_OBJECT
public:
    explicit BatteryCard(QWidget* parent = nullptr);
    void refresh(const SystemMonitor& monitor) override;

private:
    QLabel* noBattery_;
    QWidget* details_;
    ValueRow* status_;
    ValueRow* health_;
    ValueRow* cycles_;
    ValueRow* power_;
    ValueRow* voltage_;
    ValueRow* condition_;
    ValueRow* capacity_;
    ValueRow* temperature_;
    ValueRow* charger_;
};
