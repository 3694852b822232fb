#pragma once

#include "views/kit/MetricBlock.h"

#include <QColor>

class SystemMonitor;

// One card of the dashboard's grid: a metric block outlined in the accent colour (at opacity
// 0.2) whose body a subclass fills. refresh() takes the monitor's latest records once per
// poll; the pieces repaint only what changed.
class DashboardCard : public MetricBlock {
    Q_OBJECT
public:
    DashboardCard(const QString& symbolName, const QString& title, QWidget* parent = nullptr);

    virtual void refresh(const SystemMonitor& monitor) = 0;
    // The accent colour of the border and of the card's accent-coloured graphs and bars.
    void setAccent(const QColor& accent);
    QColor accent() const { return accent_; }

protected:
    virtual void accentChanged() {}

private:
    QColor accent_;
};
