#pragma once

#include "core/Clock.h"
#include "core/SessionReport.h"
#include "recording/RecordedSample.h"

#include <QVector>

// Points kept of each series for the report's graphs.
inline constexpr int kReportSeriesPoints = 120;

// The report of `samples`, in time order. No samples give the shared empty report, dated when
// it was first built (`now` of that first call).
SessionReport buildSessionReport(const QVector<RecordedSample>& samples, Clock::WallTime now);

// At most `points` values of `values`, picked at evenly spaced positions without averaging.
QVector<double> downsample(const QVector<double>& values, int points);
