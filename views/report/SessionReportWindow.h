#pragma once

#include "core/SessionReport.h"

#include <QTimeZone>

#include <functional>

class QWidget;

// The "Vantrel Session Report" window: the dark report in a 600 × 700 window, centred on the
// screen, with "Export as PDF" and, given `onShowCsv`, "Show CSV File".
QWidget* makeSessionReportWindow(const SessionReport& report, std::function<void()> onShowCsv,
                                 const QTimeZone& zone = QTimeZone::systemTimeZone());
