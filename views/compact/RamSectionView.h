#pragma once

#include "views/compact/SectionView.h"

class LevelBar;
class SystemMonitor;

// The memory: the used percent, its history, the wired, compressed and cached parts on one bar
// with their legend, the total and free amounts and, from the sensor helper, the memory
// temperature.
class RamSectionView final : public SectionView {
    Q_OBJECT
public:
    explicit RamSectionView(const SystemMonitor& monitor, QWidget* parent = nullptr);
    void refresh() override;

private:
    const SystemMonitor& monitor_;
    MiniGraphView* graph_;
    LevelBar* composition_;
    ValueRow* wired_;
    ValueRow* compressed_;
    ValueRow* cached_;
    ValueRow* totalAndFree_;
    ValueRow* temperature_;
};
