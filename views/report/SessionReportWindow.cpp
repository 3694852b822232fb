#include "views/report/SessionReportWindow.h"

#include "views/kit/ViewPalette.h"
#include "views/report/ReportPdfExport.h"
#include "views/report/SessionReportView.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

#include <utility>

QWidget* makeSessionReportWindow(const SessionReport& report, std::function<void()> onShowCsv,
                                 const QTimeZone& zone) {
    auto* window = new QWidget;
    window->setWindowTitle(QStringLiteral("Vantrel Session Report"));
    window->setAccessibleName(QStringLiteral("Vantrel Session Report"));
    ViewPalette::applyDarkLook(*window, ReportStyle::forMode(false).background);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new SessionReportView(report, std::move(onShowCsv), false, zone);
    layout->addWidget(view);
    QObject::connect(view, &SessionReportView::exportPdfRequested, window,
                     [view, window] { exportReportPdf(view->report(), window); });
    window->resize(600, 700);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), window->size());
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    return window;
}
