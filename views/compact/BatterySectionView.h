#pragma once

#include "core/SampleRecords.h"
#include "views/compact/SectionView.h"

#include <QVector>

class LevelBar;
class SystemMonitor;

// The battery: the charge with its symbol and level bar, health, condition, cycle count,
// capacity and power, from the sensor helper the battery temperature and the fans, and the
// health trend of the battery health log. Shown only on machines with a battery.
class BatterySectionView final : public SectionView {
    Q_OBJECT
public:
    explicit BatterySectionView(const SystemMonitor& monitor, QWidget* parent = nullptr);
    void refresh() override;

private:
    void showFans(const QVector<FanReading>& fans);

    const SystemMonitor& monitor_;
    LevelBar* level_;
    ValueRow* health_;
    ValueRow* condition_;
    ValueRow* cycleCount_;
    ValueRow* capacity_;
    ValueRow* power_;
    ValueRow* temperature_;
    QVector<ValueRow*> fans_;
    ValueRow* trend_;
    MiniGraphView* trendGraph_;
};
