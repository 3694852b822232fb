#include "app/shell/ShellWindows.h"

#include "app/shell/ShownSourceHolders.h"

#include "app/shell/CompactPanel.h"
#include "app/shell/OutsideClickRule.h"
#include "app/shell/OutsidePressCatcher.h"
#include "app/shell/ScreenMetrics.h"
#include "app/shell/ShellFaces.h"
#include "app/shell/SupportPage.h"
#include "core/SampleRecorder.h"
#include "core/SessionReport.h"
#include "status_item/FloatingWindowKind.h"
#include "status_item/ItemAnchor.h"
#include "status_item/PanelPlacement.h"
#include "status_item/VirtualDesktop.h"
#include "status_item/X11Watcher.h"
#include "views/compact/CompactPanelView.h"
#include "views/dashboard/DashboardWindow.h"

#include <QApplication>
#include <QScreen>

#include <chrono>
#include <cstdio>

namespace {

// A press that closed the panel and the activation of the status item it was part of arrive
// within this time of each other; the activation must not reopen the panel.
constexpr std::chrono::milliseconds sameClickWindow{400};

bool visible(const QPointer<QWidget>& window) {
    return !window.isNull() && window->isVisible();
}

}  // namespace

ShellWindows::ShellWindows(const AppSettings& settings, SystemMonitor& monitor, Clock& clock,
                           X11Watcher* x11, const ShellFaces& faces, ShellWindowMakers makers,
                           QString supportUrl, QObject* parent)
    : QObject(parent),
      settings_(settings),
      monitor_(monitor),
      clock_(clock),
      x11_(x11),
      faces_(faces),
      makers_(std::move(makers)),
      supportUrl_(std::move(supportUrl)) {
    if (x11_ && xServerUnderWaylandCompositor()) {
        // There the compact panel is never the active window: another window made active
        // while it is open has taken the focus from it.
        connect(x11_, &X11Watcher::activeWindowChanged, this, &ShellWindows::closeCompactPanel);
    }
}

ShellWindows::~ShellWindows() {
    delete windows_.compactPanel;
    outsidePresses_.reset();
    delete windows_.dashboardWindow;
    delete windows_.settingsWindow;
    delete windows_.helpWindow;
    delete windows_.reportWindow;
}

void ShellWindows::followRecorder(const SampleRecorder& recorder) {
    connect(&recorder, &SampleRecorder::lastReportChanged, this, [this, &recorder] {
        if (recorder.lastReport() && recorder.lastReport()->sampleCount > 0) {
            openReportWindow();
        }
    });
}

void ShellWindows::toggleCompactPanel() {
    closeDashboard();
    if (visible(windows_.compactPanel)) {
        closeCompactPanel();
        return;
    }
    // The press of this very click may already have closed the panel (it was outside the
    // panel, or it took the panel's activation): then the click has done its work.
    if (compactPanelClosedWithoutClickAt_ &&
        clock_.steadyNow() - *compactPanelClosedWithoutClickAt_ < sameClickWindow) {
        compactPanelClosedWithoutClickAt_.reset();
        return;
    }
    showCompactPanel();
}

void ShellWindows::toggleDashboard() {
    closeCompactPanel();
    if (visible(windows_.dashboardWindow)) {
        closeDashboard();
    } else {
        showDashboard();
    }
}

void ShellWindows::showCompactPanel() {
    if (visible(windows_.compactPanel)) {
        closeCompactPanel();
        return;
    }
    closeCompactPanel();
    auto* panel = new CompactPanel(monitor_, settings_);
    holdCompactPanelSources(*panel, settings_, monitor_.demand());
    connect(panel, &CompactPanel::deactivated, this, [this, panel] {
        // Without presses from the X server, losing activation is what closes the panel.
        if ((!x11_ || !x11_->rawPressesAvailable()) && windows_.compactPanel == panel) {
            compactPanelClosedWithoutClick();
        }
    });
    connect(panel, &CompactPanel::closeRequested, this, [this, panel] {
        if (windows_.compactPanel == panel) {
            closeCompactPanel();
        }
    });
    CompactPanelView& content = panel->content();
    content.setSupportAvailable(supportPageExists(supportUrl_));
    connect(&content, &CompactPanelView::dashboardRequested, this, [this] {
        closeCompactPanel();
        showDashboard();
    });
    connect(&content, &CompactPanelView::helpRequested, this, &ShellWindows::openHelpWindow);
    connect(&content, &CompactPanelView::settingsRequested, this,
            &ShellWindows::openSettingsWindow);
    connect(&content, &CompactPanelView::supportRequested, this,
            [this] { openSupportPage(supportUrl_); });
    connect(&content, &CompactPanelView::quitRequested, this, &ShellWindows::quitRequested);
    // Nothing clicked yet (a shortcut, a second start): the corner nearest the screen's panels.
    const QPoint anchor = faces_.anchor().value_or(
        itemAnchor(itemPlaceFacts(std::nullopt, static_cast<int>(ShellFaces::barThickness))));
    panel->move(compactPanelOrigin(anchor, static_cast<int>(ShellFaces::barThickness),
                                   screenAreaAt(anchor)));
    windows_.compactPanel = panel;
    emit compactPanelShownChanged(true);
    if (xServerUnderWaylandCompositor()) {
        showUnderWaylandCompositor(*panel);
        return;
    }
    panel->show();
    panel->raise();
    panel->activateWindow();
}

void ShellWindows::showUnderWaylandCompositor(QWidget& panel) {
    // The compositor hands the keyboard to XWayland when the panel is shown but takes the
    // focus back from any X window it did not choose itself: the panel holds the keyboard
    // (for Escape) by a grab while it is open, and a press outside it reaches the catcher.
    if (outsidePresses_ == nullptr) {
        outsidePresses_ = std::make_unique<OutsidePressCatcher>();
        // The catcher keeps the press from whatever lies under it (the status item too), so
        // no activation follows it: the next click on the item opens the panel again.
        connect(outsidePresses_.get(), &OutsidePressCatcher::pressed, this,
                &ShellWindows::closeCompactPanel);
    }
    outsidePresses_->coverWhileShown(panel);
    panel.show();
    panel.raise();
    panel.grabKeyboard();
}

void ShellWindows::closeCompactPanel() {
    if (QWidget* panel = windows_.compactPanel) {
        windows_.compactPanel = nullptr;
        panel->releaseKeyboard();
        panel->hide();
        closedCompactPanel_.retire(panel);
        emit compactPanelShownChanged(false);
    }
}

void ShellWindows::compactPanelClosedWithoutClick() {
    compactPanelClosedWithoutClickAt_ = clock_.steadyNow();
    closeCompactPanel();
}

void ShellWindows::showDashboard() {
    if (!makers_.dashboard) {
        notBuiltYet(QStringLiteral("The dashboard"));
        return;
    }
    // Opening the dashboard while one is shown (the menu, the compact panel's button, a
    // shortcut) brings that one to the front rather than leaving it behind as an orphan.
    if (visible(windows_.dashboardWindow)) {
        windows_.dashboardWindow->raise();
        windows_.dashboardWindow->activateWindow();
        return;
    }
    closeDashboard();
    QWidget* dashboard = makers_.dashboard();
    connectDashboard(dashboard);
    windows_.dashboardWindow = dashboard;
    dashboard->show();
    dashboard->raise();
    dashboard->activateWindow();
}

void ShellWindows::connectDashboard(QWidget* dashboard) {
    auto* window = qobject_cast<DashboardWindow*>(dashboard);
    if (window == nullptr) {
        return;  // a stand-in with no buttons of its own
    }
    connect(window, &DashboardWindow::closeRequested, this, &ShellWindows::closeDashboard);
    connect(window, &DashboardWindow::helpRequested, this, [this] {
        closeDashboard();
        openHelpWindow();
    });
    connect(window, &DashboardWindow::settingsRequested, this, [this] {
        closeDashboard();
        openSettingsWindow();
    });
    connect(window, &DashboardWindow::quitRequested, this, &ShellWindows::quitRequested);
}

void ShellWindows::closeDashboard() {
    if (QWidget* dashboard = windows_.dashboardWindow) {
        windows_.dashboardWindow = nullptr;
        dashboard->hide();
        closedDashboard_.retire(dashboard);
    }
}

void ShellWindows::openOrdinaryWindow(QPointer<QWidget>& slot,
                                      const std::function<QWidget*()>& make, const QString& what) {
    closeCompactPanel();
    closeDashboard();
    if (visible(slot)) {
        slot->raise();
        slot->activateWindow();
        return;
    }
    if (!make) {
        notBuiltYet(what);
        return;
    }
    QWidget* window = make();
    if (window == nullptr) {
        return;  // nothing to show, such as a report that is gone
    }
    // Closing destroys the window, which empties its slot.
    window->setAttribute(Qt::WA_DeleteOnClose);
    slot = window;
    window->show();
    window->raise();
    window->activateWindow();
}

void ShellWindows::openSettingsWindow() {
    openOrdinaryWindow(windows_.settingsWindow, makers_.settingsWindow,
                       QStringLiteral("The settings window"));
}

void ShellWindows::openHelpWindow() {
    openOrdinaryWindow(windows_.helpWindow, makers_.helpWindow, QStringLiteral("The help window"));
}

void ShellWindows::openReportWindow() {
    // A new report replaces the window of the previous one rather than raising it.
    if (QWidget* previous = windows_.reportWindow) {
        windows_.reportWindow = nullptr;
        previous->close();
        previous->deleteLater();
    }
    openOrdinaryWindow(windows_.reportWindow, makers_.reportWindow,
                       QStringLiteral("The session report window"));
}

void ShellWindows::notBuiltYet(const QString& what) {
    if (!loggedNotBuilt_.contains(what)) {
        loggedNotBuilt_.insert(what);
        std::fprintf(stderr, "[Shell] %s is not built yet\n", qPrintable(what));
    }
}

void ShellWindows::handleOutsideClick(QPoint globalPos, int button, QVector<QRect> ownAreas) {
    // Every shown window of the program is inside it: Settings, Help, the report, a menu, a
    // dialog, the strip, as much as the panels themselves.
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            ownAreas.append(window->frameGeometry());
        }
    }
    OutsideClickState state;
    // Where the catcher covers the desktop it answers the press itself, and the press it took
    // is no half of a click on the status item.
    const bool caught = outsidePresses_ != nullptr && outsidePresses_->isVisible();
    state.compactPanelOpen = !windows_.compactPanel.isNull() && !caught;
    state.dashboardVisible = visible(windows_.dashboardWindow);
    const QScreen* screen = state.dashboardVisible ? windows_.dashboardWindow->screen()
                                                   : QGuiApplication::primaryScreen();
    state.dashboardScreen = screen ? screen->geometry() : QRect();
    state.ownAreas = std::move(ownAreas);
    const OutsideClickOutcome outcome = outsideClickOutcome(globalPos, button, state);
    if (outcome.closeCompactPanel) {
        compactPanelClosedWithoutClick();
    }
    if (outcome.closeDashboard) {
        closeDashboard();
    }
}
