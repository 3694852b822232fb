#pragma once

#include "core/Clock.h"
#include "core/ProviderInterfaces.h"
#include "providers/BatteryHistoryJson.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

// Keeps a small history of (date, cycle count, health) points in a JSON file, adds a point at
// most once a week, and gives the health trend shown by the battery views. The file is
// replaced atomically on each new point. A file that exists but cannot be read as a history
// is never overwritten: it is renamed to "<name>.corrupt-<UTC time>" before the first new
// point is written, and the history starts empty.
class BatteryHealthLogger final : public BatteryHealthRecorder {
public:
    // Creates the file's folder and loads the history. The clock must outlive the logger.
    BatteryHealthLogger(QString filePath, const Clock& clock);

    // Adds a point when the record has a battery with a known cycle count and health and the
    // last point is more than seven days old.
    void record(const BatteryStats& battery) override;

    // "4mo ago: 98% → now: 95%" once the history spans at least 30 days; absent before.
    std::optional<QString> trendText() const override;
    QVector<int> healthHistory() const override;

    const std::vector<BatterySnapshot>& history() const { return history_; }
    const QString& filePath() const { return filePath_; }

private:
    void load();
    void save();
    bool moveUnreadableFileAside();

    QString filePath_;
    const Clock& clock_;
    std::vector<BatterySnapshot> history_;
    bool unreadableFileInPlace_ = false;
};

// $XDG_DATA_HOME/vantrel/battery_history.json (~/.local/share when XDG_DATA_HOME is unset).
QString defaultBatteryHistoryPath();

std::unique_ptr<BatteryHealthLogger> makeLinuxBatteryHealthLogger(const Clock& clock);
