#pragma once

#include "core/SampleRecords.h"
#include "views/dashboard/DashboardCard.h"

#include <QVector>

class QLabel;
class QVBoxLayout;

// The busiest processes: "Top CPU" with each one's share of a processor and "Top Memory" with
// each one's memory; "No data" under a list that is empty.
class ProcessesCard final : public DashboardCard {
    Q_OBJECT
public:
    explicit ProcessesCard(QWidget* parent = nullptr);
    void refresh(const SystemMonitor& monitor) override;

private:
    struct List {
        QVBoxLayout* rows = nullptr;
        QVector<ValueRow*> shown;
        QLabel* empty = nullptr;
    };
    void addList(List& list, const QString& symbolName, const QString& heading);
    static void fill(List& list, const QVector<TopProcess>& processes,
                     QString (*value)(const TopProcess&));

    List byCpu_;
    List byMemory_;
};
