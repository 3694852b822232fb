#pragma once

#include "views/compact/SectionView.h"

#include <QVector>

class SystemMonitor;

// The busiest processes by CPU: one row per process with its name and CPU share, or "No data"
// while the list is empty. A long name is elided, never widening the panel.
class CompactProcessesView final : public SectionView {
    Q_OBJECT
public:
    explicit CompactProcessesView(const SystemMonitor& monitor, QWidget* parent = nullptr);
    void refresh() override;

private:
    const SystemMonitor& monitor_;
    QLabel* noData_;
    QVector<ValueRow*> rows_;
};
