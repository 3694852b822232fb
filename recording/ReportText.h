#pragma once

#include "core/Clock.h"
#include "recording/SessionReportBuilder.h"

#include <QString>
#include <QTimeZone>

// Texts of a session report. Dates are shown in `zone`, the user's local time zone in the
// application; numbers and durations are written by core/TextFormat.h.

// "Jan 31, 14:05 → Jan 31, 16:40".
QString dateRangeText(Clock::WallTime start, Clock::WallTime end, const QTimeZone& zone);

// "14:05:09": when a peak happened.
QString clockTimeText(Clock::WallTime time, const QTimeZone& zone);

// The report as lines of plain text, joined by line feeds.
QString summaryText(const SessionReport& report, const QTimeZone& zone);
