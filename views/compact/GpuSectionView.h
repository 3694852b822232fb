#pragma once

#include "views/compact/SectionView.h"

class LevelBar;
class SystemMonitor;

// The GPU: the busy percent, its history, the memory in use of the memory allocated over a
// bar and, from the sensor helper, the GPU temperature and power.
class GpuSectionView final : public SectionView {
    Q_OBJECT
public:
    explicit GpuSectionView(const SystemMonitor& monitor, QWidget* parent = nullptr);
    void refresh() override;

private:
    const SystemMonitor& monitor_;
    MiniGraphView* graph_;
    ValueRow* memory_;
    LevelBar* memoryBar_;
    ValueRow* temperature_;
    ValueRow* power_;
};
