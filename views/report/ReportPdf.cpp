#include "views/report/ReportPdf.h"

#include "views/report/SessionReportView.h"

#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <memory>

namespace {

FileResult failure(const QString& path, const QString& reason) {
    return {QStringLiteral("The report could not be saved in %1: %2")
                .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()), reason)};
}

}  // namespace

FileResult writeReportPdf(const SessionReport& report, const QString& path, const QTimeZone& zone) {
    SessionReportView view(report, {}, true, zone);
    // The column alone: the page shows the whole report, not the scrolling window on it.
    std::unique_ptr<QWidget> column(view.takeWidget());
    column->ensurePolished();
    QLayout* layout = column->layout();
    const int height =
        std::max(layout->hasHeightForWidth() ? layout->totalHeightForWidth(kReportPdfWidth)
                                             : layout->totalSizeHint().height(),
                 kReportPdfMinHeight);
    column->resize(kReportPdfWidth, height);
    layout->activate();

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return failure(path, file.errorString());
    }
    QPdfWriter writer(&file);
    writer.setResolution(72);  // one device unit to a point: the column's pixels map 1:1
    writer.setPageSize(QPageSize(QSizeF(kReportPdfWidth, height), QPageSize::Point,
                                 QStringLiteral("Session report"), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(QStringLiteral("Vantrel Session Report"));
    writer.setCreator(QStringLiteral("Vantrel"));

    QPainter painter;
    if (!painter.begin(&writer)) {
        file.cancelWriting();
        return failure(path, QStringLiteral("the PDF could not be started"));
    }
    column->render(&painter, QPoint(), QRegion(),
                   QWidget::DrawWindowBackground | QWidget::DrawChildren);
    painter.end();
    if (!file.commit()) {
        return failure(path, file.errorString());
    }
    return {};
}
