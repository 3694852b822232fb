#include "views/settings/SettingsWindow.h"

#include "views/kit/ViewPalette.h"
#include "views/settings/SettingsView.h"

#include <QScrollArea>
#include <QVBoxLayout>

SettingsWindow::SettingsWindow(AppSettings& settings, SystemMonitor& monitor,
                               SettingsFile& defaults, KeyboardShortcuts* shortcuts,
                               DataExportActions dataExport, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMinimizeButtonHint),
      view_(new SettingsView(settings, monitor, defaults, shortcuts, std::move(dataExport))) {
    setWindowTitle(QStringLiteral("Vantrel Settings"));
    setAccessibleName(windowTitle());
    ViewPalette::applyDarkLook(*this, ViewPalette::windowBackground());
    ViewPalette::applyDarkLook(*view_, ViewPalette::windowBackground());

    auto* scroll = new QScrollArea;
    scroll->setAccessibleName(QStringLiteral("Settings"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(view_);
    ViewPalette::applyDarkLook(*scroll->viewport(), ViewPalette::windowBackground());

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(scroll);
    setFixedSize(width, height);
}
