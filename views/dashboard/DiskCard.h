#pragma once

#include "views/dashboard/DashboardCard.h"

class LevelBar;

// The start-up disk: used of total over a usage bar, the available space, the read and write
// rates and, from the helper, the SSD's temperature. Linux has no purgeable space to show.
class DiskCard final : public DashboardCard {
    Q_OBJECT
public:
    explicit DiskCard(QWidget* parent = nullptr);
    void refresh(const SystemMonitor& monitor) override;

private:
    ValueRow* used_;
    LevelBar* bar_;
    ValueRow* available_;
    ValueRow* read_;
    ValueRow* write_;
    ValueRow* temperature_;
};
