#pragma once

#include "views/compact/SectionView.h"
#include "views/kit/CoreLabels.h"

#include <QVector>

class AppSettings;
class CoreBarView;
class QGridLayout;
class StateBadge;
class SystemMonitor;

// The CPU: the overall percent, its history, one bar per core ("P1", "E1" or "C1"), the
// thermal pressure and, from the sensor helper, the CPU and IO temperatures and the system
// power.
class CPUSectionView final : public SectionView {
    Q_OBJECT
public:
    CPUSectionView(const SystemMonitor& monitor, const AppSettings& settings,
                   QWidget* parent = nullptr);
    void refresh() override;

private:
    struct CoreRow {
        QLabel* label;
        CoreBarView* bar;
        QLabel* percent;
    };
    void layOutCores(const QVector<CoreLabel>& labels);

    const SystemMonitor& monitor_;
    const AppSettings& settings_;
    MiniGraphView* graph_;
    QGridLayout* cores_;
    QVector<CoreRow> coreRows_;
    QVector<CoreLabel> coreLabels_;
    StateBadge* thermal_;
    ValueRow* cpuTemperature_;
    ValueRow* ioTemperature_;
    ValueRow* systemPower_;
};

// The thermal state on a badge: "Nominal" on green … "Critical" on red, "Unknown" on grey.
void showThermalState(StateBadge& badge, ThermalState state);
