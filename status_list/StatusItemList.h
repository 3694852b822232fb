#pragma once

#include "status_list/StatusItemEntry.h"

#include <QJsonValue>
#include <QString>
#include <QVector>

#include <optional>

// Reading back and editing the status item's list. Everything here works on plain lists and
// what was read from the settings, so it never touches a file.
namespace status_list {

inline const QString itemsKey = QStringLiteral("menuBarItemConfigs");
inline const QString legacyShowCpuKey = QStringLiteral("showCPUInMenuBar");
inline const QString legacyShowRamKey = QStringLiteral("showRAMInMenuBar");
inline const QString legacyShowNetworkKey = QStringLiteral("showNetworkInMenuBar");

// What the settings file holds for the list: the list itself and the older per-metric
// switches, each absent when missing or of the wrong type.
struct StoredStatusItemSettings {
    std::optional<QJsonValue> items;
    std::optional<bool> showCpu;
    std::optional<bool> showRam;
    std::optional<bool> showNetwork;
};

// The stored list completed with the metrics it lacks, or, when nothing valid is stored, the
// list built from the older per-metric switches. Never fails and writes nothing.
QVector<StatusItemEntry> load(const StoredStatusItemSettings& stored);

// `items` followed by every metric it lacks, in declared order, disabled and drawn as text.
QVector<StatusItemEntry> completed(QVector<StatusItemEntry> items);

// The six entries of installations that kept one switch per metric: CPU (shown unless
// switched off), RAM and network (hidden unless switched on), then GPU, battery as icon and
// text, and disk, all hidden.
QVector<StatusItemEntry> legacyList(const StoredStatusItemSettings& stored);

// The Settings list's edits, by row. Each returns whether it changed anything it addressed;
// a row outside the list, or a move past either end, leaves the list as it was.
bool setEnabled(QVector<StatusItemEntry>& items, int index, bool enabled);
bool setDisplayMode(QVector<StatusItemEntry>& items, int index, MetricDisplayMode mode);
bool moveUp(QVector<StatusItemEntry>& items, int index);
bool moveDown(QVector<StatusItemEntry>& items, int index);

// `items` with every repeated metric after its first entry dropped.
QVector<StatusItemEntry> withoutRepeatedMetrics(const QVector<StatusItemEntry>& items);

}  // namespace status_list
