#include "views/report/ReportPdfExport.h"

#include "views/desktop/RevealFile.h"
#include "views/report/ReportPdf.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>

void exportReportPdf(const SessionReport& report, QWidget* parent) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) {
        folder = QDir::homePath();
    }
    QFileDialog dialog(parent, QStringLiteral("Export as PDF"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("PDF (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setDirectory(folder);
    dialog.selectFile(QStringLiteral("vantrel-session-report.pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const QString path = dialog.selectedFiles().constFirst();
    const FileResult written = writeReportPdf(report, path);
    if (!written.ok()) {
        QMessageBox::warning(parent, QStringLiteral("Export as PDF"), written.error);
        return;
    }
    revealInFileManager(path);
}
