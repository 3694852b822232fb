#pragma once

#include "core/SessionReport.h"

class QWidget;

// "Export as PDF": asks where to save the report (proposing "vantrel-session-report.pdf"),
// writes it and shows it in the file manager; a failure is told in a message over `parent`.
void exportReportPdf(const SessionReport& report, QWidget* parent);
