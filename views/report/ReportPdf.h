#pragma once

#include "core/SessionReport.h"
#include "recording/FileResult.h"

#include <QTimeZone>

// The page width of the report PDF, and its least height, in points.
inline constexpr int kReportPdfWidth = 600;
inline constexpr int kReportPdfMinHeight = 700;

// Writes the light form of `report`, without its buttons, to `path` as a one-page vector PDF
// 600 points wide and as tall as the report (at least 700). The file appears complete or not
// at all: it is written beside the target under a temporary name and renamed at the end.
// Runs on the GUI thread of a QApplication: the page is the report's widgets, drawn as text
// and paths.
FileResult writeReportPdf(const SessionReport& report, const QString& path,
                          const QTimeZone& zone = QTimeZone::systemTimeZone());
