#pragma once

#include "core/SampleRecords.h"
#include "views/compact/SectionView.h"

#include <QVector>

class LevelBar;
class SystemMonitor;

// The start-up disk: a usage bar coloured by how full it is, used of total and free space,
// the SSD temperature from the sensor helper, and the space the large folders take by
// category.
class DiskSectionView final : public SectionView {
    Q_OBJECT
public:
    explicit DiskSectionView(const SystemMonitor& monitor, QWidget* parent = nullptr);
    void refresh() override;

private:
    void showCategories(const QVector<StorageCategory>& categories);

    const SystemMonitor& monitor_;
    LevelBar* usage_;
    ValueRow* usedAndFree_;
    ValueRow* temperature_;
    QVector<ValueRow*> categories_;
};
