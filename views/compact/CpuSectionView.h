#pragma once

#include "views/compact/SectionView.h"

class AppSettings;
class CoreRows;
class StateBadge;
class SystemMonitor;
class ValueRow;

// The CPU: the overall percent, its history, one bar per core ("P1", "E1" or "C1"), the
// thermal pressure and, from the sensor helper, the CPU and IO temperatures and the system
// power.
class CpuSectionView final : public SectionView {
    Q_OBJECT
public:
    CpuSectionView(const SystemMonitor& monitor, const AppSettings& settings,
                   QWidget* parent = nullptr);
    void refresh() override;

private:
    const SystemMonitor& monitor_;
    const AppSettings& settings_;
    MiniGraphView* graph_;
    CoreRows* cores_;
    StateBadge* thermal_;
    ValueRow* cpuTemperature_;
    ValueRow* ioTemperature_;
    ValueRow* systemPower_;
};
