#include "views/report/ReportPdfExport.h"

#include "views/desktop/RevealFile.h"
#include "views/report/ReportPdf.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QStandardPaths>

void exportReportPdf(SessionReport report, QWidget* parent) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) {
        folder = QDir::homePath();
    }
    // On the heap and watched: the parent deletes the dialog if it goes while the dialog runs.
    const QPointer<QWidget> owner(parent);
    const QPointer<QFileDialog> dialog = new QFileDialog(parent, QStringLiteral("Export as PDF"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilter(QStringLiteral("PDF (*.pdf)"));
    dialog->setDefaultSuffix(QStringLiteral("pdf"));
    dialog->setDirectory(folder);
    dialog->selectFile(QStringLiteral("vantrel-session-report.pdf"));
    const int answer = dialog->exec();
    if (dialog.isNull() || owner.isNull()) {
        return;
    }
    const QStringList chosen = dialog->selectedFiles();
    delete dialog.data();
    if (answer != QDialog::Accepted || chosen.isEmpty()) {
        return;
    }
    const QString path = chosen.constFirst();
    const FileResult written = writeReportPdf(report, path);
    if (!written.ok()) {
        QMessageBox::warning(owner, QStringLiteral("Export as PDF"), written.error);
        return;
    }
    revealInFileManager(path);
}
