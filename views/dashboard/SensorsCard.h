#pragma once

#include "core/SampleRecords.h"
#include "views/dashboard/DashboardCard.h"

#include <QHash>
#include <QStringList>
#include <QVector>

class AppSettings;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;
class SensorRow;

// Every sensor of the machine, chip by chip: a heading per chip (the driver's name, the chip's
// identity beside it, smaller) over one row per reading, named by the user's name for it, else
// the driver's label, else the channel ("fan2"), with its value and its session minimum and
// maximum. Readings the user hid are left out and come back all at once through "Show hidden
// (N)" at the card's end. The card spans the whole grid; its chips stand in 1 to 3 columns by
// its width. A poll whose set of readings is the one shown only changes texts: rows are kept
// by identity and laid out again only when readings come, go, or are hidden or shown.
class SensorsCard final : public DashboardCard {
    Q_OBJECT
public:
    explicit SensorsCard(AppSettings& settings, QWidget* parent = nullptr);
    void refresh(const SystemMonitor& monitor) override;

    // The row of a reading, or null while it has none.
    SensorRow* row(const QString& identity) const { return rows_.value(identity); }
    QPushButton* showHiddenButton() const { return showHidden_; }
    int chipColumns() const { return static_cast<int>(columns_.size()); }
    // How many times the rows were laid out again: once per change of the set shown.
    int layoutCount() const { return layoutCount_; }

    // 1 column of chips below 700 px of width, 2 below 1050, 3 from 1050 on.
    static int chipColumnsForWidth(int width);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct ChipGroup {
        QWidget* box = nullptr;
        QLabel* name = nullptr;
        QLabel* identity = nullptr;
        QVBoxLayout* rows = nullptr;
        int shownRows = 0;
    };

    void settingsChanged();
    void layOut(const QVector<SensorChannelReading>& channels, const QVector<bool>& shown);
    void placeChips(int columns);
    SensorRow* makeRow(const SensorChannelReading& channel);
    ChipGroup& chipGroup(const QString& chip);
    void showHiddenReadings();

    AppSettings& settings_;
    const SystemMonitor* monitor_ = nullptr;
    QHash<QString, SensorRow*> rows_;
    QHash<QString, ChipGroup> chips_;
    QStringList chipOrder_;
    QStringList shownLayout_;  // what the rows are laid out for: each shown reading's key
    QStringList hiddenHere_;   // hidden readings this machine has
    QHBoxLayout* columnRow_;
    QVector<QVBoxLayout*> columns_;
    QPushButton* showHidden_;
    int layoutCount_ = 0;
};
