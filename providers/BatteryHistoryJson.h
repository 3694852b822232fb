#pragma once

#include "core/Clock.h"

#include <QByteArray>

#include <optional>
#include <vector>

// One point of the battery health history.
struct BatterySnapshot {
    double date = 0;  // seconds since 2001-01-01 00:00:00 UTC
    int cycleCount = 0;
    int healthPercent = 0;
    bool operator==(const BatterySnapshot&) const = default;
};

// Seconds since 2001-01-01 00:00:00 UTC, the epoch the history file counts from.
double historySeconds(Clock::WallTime time);

// The history file's content: a compact JSON array of {"date", "cycleCount",
// "healthPercent"} objects, oldest first.
QByteArray encodeBatteryHistory(const std::vector<BatterySnapshot>& history);

// Absent unless the text is such an array in full: every element an object with a finite
// number "date" and whole numbers "cycleCount" and "healthPercent" (other members are
// ignored).
std::optional<std::vector<BatterySnapshot>> decodeBatteryHistory(const QByteArray& text);
