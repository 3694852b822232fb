#include "views/report/SessionReportWindow.h"

#include "views/report/ReportPdfExport.h"
#include "views/report/SessionReportView.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

#include <utility>

namespace {

// The window's own controls (scroll bar, buttons) in dark colours.
QPalette darkPalette(const QPalette& base) {
    QPalette palette = base;
    const QColor window = QColor::fromRgbF(0.06f, 0.06f, 0.08f);
    const QColor control = QColor::fromRgbF(0.18f, 0.18f, 0.22f);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::Base, window);
    palette.setColor(QPalette::AlternateBase, control);
    palette.setColor(QPalette::Button, control);
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Highlight, QColor::fromRgbF(0.545f, 0.361f, 0.965f));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, control);
    palette.setColor(QPalette::ToolTipText, Qt::white);
    return palette;
}

}  // namespace

QWidget* makeSessionReportWindow(const SessionReport& report, std::function<void()> onShowCSV,
                                 const QTimeZone& zone) {
    auto* window = new QWidget;
    window->setWindowTitle(QStringLiteral("Vantrel Session Report"));
    window->setAccessibleName(QStringLiteral("Vantrel Session Report"));
    window->setPalette(darkPalette(window->palette()));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new SessionReportView(report, std::move(onShowCSV), false, zone);
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
