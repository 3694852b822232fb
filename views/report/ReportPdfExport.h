#pragma once

#include "core/SessionReport.h"

class QWidget;

// "Export as PDF": asks where to save the report (proposing "vantrel-session-report.pdf"),
// writes it and shows it in the file manager; a failure is told in a message over `parent`.
// `parent` may go while the dialog is open (a newer report replaces its window): the export
// then ends without writing.
void exportReportPdf(SessionReport report, QWidget* parent);
