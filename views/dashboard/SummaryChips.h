#pragma once

#include <QWidget>

class Chip;
class SystemMonitor;

// One chip per metric with its current percent: CPU, GPU, Memory, Battery (its symbol and
// colour by level; an em dash without a battery) and Disk. Wraps onto a second line when the
// window is narrow.
class SummaryChips final : public QWidget {
    Q_OBJECT
public:
    explicit SummaryChips(QWidget* parent = nullptr);
    void refresh(const SystemMonitor& monitor);

    Chip* cpu() const { return cpu_; }
    Chip* gpu() const { return gpu_; }
    Chip* memory() const { return memory_; }
    Chip* battery() const { return battery_; }
    Chip* disk() const { return disk_; }

private:
    Chip* cpu_;
    Chip* gpu_;
    Chip* memory_;
    Chip* battery_;
    Chip* disk_;
};
