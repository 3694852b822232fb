#include "app/shell/AppDelegate.h"

#include "app/faces/StripFace.h"
#include "app/faces/TrayIconFace.h"
#include "app/faces/X11Watcher.h"
#include "app/render/StatusGlance.h"
#include "app/shell/CompactPanel.h"
#include "app/shell/LaunchAtLogin.h"
#include "app/shell/OutsideClickRule.h"
#include "app/shell/PanelPlacement.h"
#include "app/shell/SettingsFileNotice.h"
#include "app/status/StatusNotifierItem.h"
#include "core/AppSettings.h"
#include "core/NotificationCenter.h"
#include "core/SampleRecorder.h"
#include "core/SessionReport.h"
#include "core/SystemMonitor.h"
#include "shortcuts/AppShortcutNames.h"
#include "shortcuts/KeyboardShortcuts.h"
#include "views/compact/PopoverView.h"
#include "views/kit/ViewPalette.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QPalette>
#include <QScreen>
#include <QUrl>

#include <chrono>
#include <cstdio>

namespace {

// A press that closed the panel and the activation of the status item it was part of arrive
// within this time of each other; the activation must not reopen the panel.
constexpr std::chrono::milliseconds sameClickWindow{400};

double screenLogicalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

double screenPixelRatio() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}

QRect screenAreaAt(QPoint point) {
    const QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen ? screen->availableGeometry() : QRect(QPoint(0, 0), compactPanelSize);
}

TrayShapeChoice trayShapeChoice(StatusItemShape shape) {
    switch (shape) {
        case StatusItemShape::wide:
            return TrayShapeChoice::Wide;
        case StatusItemShape::square:
            return TrayShapeChoice::Square;
        case StatusItemShape::automatic:
            break;
    }
    return TrayShapeChoice::Automatic;
}

bool visible(const QPointer<QWidget>& window) {
    return !window.isNull() && window->isVisible();
}

}  // namespace

AppDelegate::AppDelegate(AppSettings& settings, SystemMonitor& monitor, NotificationCenter& center,
                         Clock& clock, X11Watcher* x11, ShellOptions options, QObject* parent)
    : QObject(parent),
      settings_(settings),
      monitor_(monitor),
      center_(center),
      clock_(clock),
      x11_(x11),
      options_(std::move(options)),
      renderer_(StatusFonts::forDesktop(screenLogicalDpi())),
      helperInstall_(monitor, options_.helperInstall) {
    if (options_.loginItem != nullptr) {
        followLaunchAtLogin(settings_, *options_.loginItem);
    }
    if (!options_.makeStripFace) {
        options_.makeStripFace = [this](const MenuFactory&) {
            return std::make_unique<StripFace>(settings_);
        };
    }
    if (!options_.makeXEmbedFace) {
        options_.makeXEmbedFace = [](const MenuFactory&) {
            return std::make_unique<TrayIconFace>();
        };
    }
    if (!options_.makeStatusNotifierFace) {
        // The item of our own, not the toolkit's tray icon: that one pads every image to a
        // square, so a wide status item would not survive it.
        options_.makeStatusNotifierFace = [this](MenuFactory menu) {
            StatusNotifierItemOptions sni;
            sni.shapeChoice = trayShapeChoice(settings_.statusItemShape());
            return std::make_unique<StatusNotifierItem>(QDBusConnection::sessionBus(),
                                                        std::move(menu), sni);
        };
    }
}

AppDelegate::~AppDelegate() {
    delete windows_.compactPanel;
    delete windows_.overlayWindow;
    delete windows_.settingsWindow;
    delete windows_.helpWindow;
    delete windows_.reportWindow;
    delete menu_;
}

void AppDelegate::applicationDidFinishLaunching() {
    launched_ = true;
    // 1-2: the status item, drawn once.
    reconcileFaces();
    // 3: polling.
    monitor_.startPolling();
    // 4: the sensor helper installed and current, off the main thread; after a failure the
    // user may try again.
    helperInstall_.start();
    // 6: a finished recording opens its report.
    const SampleRecorder& recorder = monitor_.recorder();
    connect(&recorder, &SampleRecorder::lastReportChanged, this, [this, &recorder] {
        if (recorder.lastReport() && recorder.lastReport()->sampleCount > 0) {
            openReportWindow();
        }
    });
    // 7: the internal notifications, and the trays coming and going.
    connect(&center_, &NotificationCenter::notified, this, &AppDelegate::onNotification);
    // 8: the global shortcuts.
    if (options_.shortcuts) {
        attachShortcuts(*options_.shortcuts);
    }
    // 9: a settings file that could not be used, said once per start.
    if (options_.notifier && options_.unreadableSettings) {
        options_.notifier->post(unreadableSettingsNotice(*options_.unreadableSettings));
    }
    // 10: presses anywhere on the desktop.
    if (x11_) {
        connect(x11_, &X11Watcher::xembedTrayChanged, this, &AppDelegate::reconcileFaces);
        connect(x11_, &X11Watcher::buttonPressed, this, [this](QPoint rootPos) {
            handleOutsideClick((QPointF(rootPos) / screenPixelRatio()).toPoint());
        });
    }
}

void AppDelegate::attachShortcuts(KeyboardShortcuts& shortcuts) {
    // Each runs when its combination is released; the shortcuts may outlive the shell.
    const QPointer<AppDelegate> self(this);
    shortcuts.onKeyUp(app_shortcut::toggleCompact(), [self] {
        if (self) {
            self->toggleCompactPanel();
        }
    });
    shortcuts.onKeyUp(app_shortcut::toggleOverlay(), [self] {
        if (self) {
            self->toggleOverlay();
        }
    });
    shortcuts.onKeyUp(app_shortcut::openSettings(), [self] {
        if (self) {
            self->openSettingsWindow();
        }
    });
}

void AppDelegate::applicationWillTerminate() {
    monitor_.stopPolling();
    if (x11_) {
        disconnect(x11_, nullptr, this, nullptr);
    }
}

void AppDelegate::setStatusNotifierHostPresent(bool present) {
    if (present == statusNotifierHost_) {
        return;
    }
    statusNotifierHost_ = present;
    statusNotifierItemRefused_ = false;  // a host that comes again is asked again
    if (launched_) {
        reconcileFaces();
    }
}

void AppDelegate::onNotification(const QString& name) {
    if (name == notification::statsDidUpdate) {
        updateStatusItem();
    } else if (name == notification::settingsDidChange) {
        reconcileFaces();
    } else if (name == notification::closeOverlay) {
        closeOverlay();
    } else if (name == notification::openOverlay) {
        closeCompactPanel();
        showOverlay();
    } else if (name == notification::openSettings) {
        openSettingsWindow();
    } else if (name == notification::openHelp) {
        openHelpWindow();
    }
}

std::vector<StatusFace*> AppDelegate::faces() const {
    std::vector<StatusFace*> shown;
    for (const auto* face : {&sniFace_, &xembedFace_, &stripFace_}) {
        if (*face) {
            shown.push_back(face->get());
        }
    }
    return shown;
}

void AppDelegate::reconcileFaces() {
    const FacePlan plan =
        planFaces(settings_.statusItemMode(), statusNotifierHost_ && !statusNotifierItemRefused_,
                  x11_ && x11_->xembedTrayPresent());
    const auto apply = [this](bool wanted, std::unique_ptr<StatusFace>& face,
                              const ShellOptions::FaceMaker& make) {
        if (wanted && !face) {
            face = make(menuFactory());
            connectFace(face.get());
        } else if (!wanted) {
            face.reset();
        }
    };
    apply(plan.statusNotifierItem, sniFace_, options_.makeStatusNotifierFace);
    apply(plan.xembedIcon, xembedFace_, options_.makeXEmbedFace);
    apply(plan.strip, stripFace_, options_.makeStripFace);
    plan_ = plan;
    // The shape setting changes what a tray is sent at once, as the mode changes the faces.
    for (StatusFace* face : faces()) {
        face->setShapeChoice(trayShapeChoice(settings_.statusItemShape()));
    }
    updateStatusItem();
}

void AppDelegate::connectFace(StatusFace* face) {
    const auto clicked = [this, face](ClickButton button) {
        return [this, face, button](QPoint pos) {
            lastClickedFace_ = face;
            handleClick(button, face->clickModifiers(), pos);
        };
    };
    connect(face, &StatusFace::activated, this, clicked(ClickButton::left));
    connect(face, &StatusFace::secondaryActivated, this, clicked(ClickButton::middle));
    connect(face, &StatusFace::menuRequested, this, clicked(ClickButton::right));
    // Only the StatusNotifierItem can be refused, by its host. Queued: the face is dropped
    // after its own signal has returned.
    connect(
        face, &StatusFace::refused, this,
        [this] {
            statusNotifierItemRefused_ = true;
            reconcileFaces();
        },
        Qt::QueuedConnection);
}

void AppDelegate::updateStatusItem() {
    const StatusRecords records{monitor_.cpu(),    monitor_.ram(),     monitor_.network(),
                                monitor_.gpu(),    monitor_.battery(), monitor_.disk(),
                                monitor_.sensors()};
    // Light text on the dark pill; without the pill, the desktop's own text colour.
    const QColor labelColor =
        MenuBarRenderer::usablePillOpacity(settings_.menuBarPillOpacity()) > 0.01
            ? QColor(242, 242, 242)
            : QGuiApplication::palette().color(QPalette::WindowText);
    // Only the trays show the glance.
    const bool trayShown = sniFace_ || xembedFace_;
    picture_ = makeStatusPicture(renderer_, records, monitor_.histories(),
                                 StatusLook::from(settings_, labelColor, accentColor(settings_)),
                                 barThickness, trayShown ? glanceSide : 0, screenPixelRatio());
    for (StatusFace* face : faces()) {
        face->show(picture_);
    }
}

void AppDelegate::handleClick(ClickButton button, Qt::KeyboardModifiers modifiers,
                              QPoint globalPos) {
    lastClickPos_ = globalPos;
    switch (routeClick(button, modifiers)) {
        case ClickAction::showMenu:
            showMenu(globalPos);
            return;
        case ClickAction::toggleDashboard:
            toggleOverlay();
            return;
        case ClickAction::toggleCompactPanel:
            toggleCompactPanel();
            return;
    }
}

void AppDelegate::toggleCompactPanel() {
    closeOverlay();
    if (visible(windows_.compactPanel)) {
        closeCompactPanel();
        return;
    }
    // The press of this very click may already have closed the panel (it was outside the
    // panel, or it took the panel's activation): then the click has done its work.
    if (panelClosedWithoutClickAt_ &&
        clock_.steadyNow() - *panelClosedWithoutClickAt_ < sameClickWindow) {
        panelClosedWithoutClickAt_.reset();
        return;
    }
    showCompactPanel();
}

void AppDelegate::toggleOverlay() {
    closeCompactPanel();
    if (visible(windows_.overlayWindow)) {
        closeOverlay();
    } else {
        showOverlay();
    }
}

std::optional<QPoint> AppDelegate::statusAnchor() const {
    if (lastClickedFace_) {
        if (const auto anchor = lastClickedFace_->anchor()) {
            return anchor;
        }
    }
    for (StatusFace* face : faces()) {
        if (const auto anchor = face->anchor()) {
            return anchor;
        }
    }
    return lastClickPos_;
}

void AppDelegate::showCompactPanel() {
    if (visible(windows_.compactPanel)) {
        closeCompactPanel();
        return;
    }
    closeCompactPanel();
    auto* panel = new CompactPanel(monitor_, settings_, center_);
    connect(panel, &CompactPanel::deactivated, this, [this, panel] {
        // Without presses from the X server, losing activation is what closes the panel.
        if ((!x11_ || !x11_->rawPressesAvailable()) && windows_.compactPanel == panel) {
            panelClosedWithoutClick();
        }
    });
    PopoverView& content = panel->content();
    content.setSupportAvailable(supportPageExists());
    connect(&content, &PopoverView::supportRequested, this, &AppDelegate::openSupportPage);
    connect(&content, &PopoverView::quitRequested, this, &AppDelegate::quitRequested);
    // Nothing clicked yet (a shortcut, a second start): the top right of the pointer's screen.
    const QPoint anchor = statusAnchor().value_or(topRightAnchor(screenAreaAt(QCursor::pos())));
    panel->move(compactPanelOrigin(anchor, static_cast<int>(barThickness), screenAreaAt(anchor)));
    windows_.compactPanel = panel;
    panel->show();
    panel->raise();
    panel->activateWindow();
}

void AppDelegate::closeCompactPanel() {
    if (QWidget* panel = windows_.compactPanel) {
        windows_.compactPanel = nullptr;
        panel->hide();
        closedPanel_.retire(panel);
    }
}

void AppDelegate::panelClosedWithoutClick() {
    panelClosedWithoutClickAt_ = clock_.steadyNow();
    closeCompactPanel();
}

void AppDelegate::showOverlay() {
    if (!options_.makeOverlay) {
        notBuiltYet(QStringLiteral("The dashboard"));
        return;
    }
    // Opening the dashboard while one is shown (the menu, the compact panel's button, a
    // shortcut) brings that one to the front rather than leaving it behind as an orphan.
    if (visible(windows_.overlayWindow)) {
        windows_.overlayWindow->raise();
        windows_.overlayWindow->activateWindow();
        return;
    }
    closeOverlay();
    QWidget* overlay = options_.makeOverlay();
    windows_.overlayWindow = overlay;
    overlay->show();
    overlay->raise();
    overlay->activateWindow();
}

void AppDelegate::closeOverlay() {
    if (QWidget* overlay = windows_.overlayWindow) {
        windows_.overlayWindow = nullptr;
        overlay->hide();
        closedOverlay_.retire(overlay);
    }
}

void AppDelegate::openOrdinaryWindow(QPointer<QWidget>& slot, const std::function<QWidget*()>& make,
                                     const QString& what) {
    closeCompactPanel();
    closeOverlay();
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

void AppDelegate::openSettingsWindow() {
    openOrdinaryWindow(windows_.settingsWindow, options_.makeSettingsWindow,
                       QStringLiteral("The settings window"));
}

void AppDelegate::openHelpWindow() {
    openOrdinaryWindow(windows_.helpWindow, options_.makeHelpWindow,
                       QStringLiteral("The help window"));
}

void AppDelegate::openReportWindow() {
    // A new report replaces the window of the previous one rather than raising it.
    if (QWidget* previous = windows_.reportWindow) {
        windows_.reportWindow = nullptr;
        previous->close();
        previous->deleteLater();
    }
    openOrdinaryWindow(windows_.reportWindow, options_.makeReportWindow,
                       QStringLiteral("The session report window"));
}

void AppDelegate::notBuiltYet(const QString& what) {
    if (!loggedNotBuilt_.contains(what)) {
        loggedNotBuilt_.insert(what);
        std::fprintf(stderr, "[AppDelegate] %s is not built yet\n", qPrintable(what));
    }
}

std::unique_ptr<QMenu> AppDelegate::buildMenu() {
    auto menu = std::make_unique<QMenu>();
    menu->setAccessibleName(QStringLiteral("Vantrel menu"));
    menu->addAction(QStringLiteral("Open Compact View"), this, [this] {
        closeOverlay();
        showCompactPanel();
    });
    menu->addAction(QStringLiteral("Open Dashboard"), QKeySequence(Qt::CTRL | Qt::Key_D), this,
                    [this] {
                        closeCompactPanel();
                        showOverlay();
                    });
    menu->addAction(QStringLiteral("Settings"), QKeySequence(Qt::CTRL | Qt::Key_Comma), this,
                    [this] { openSettingsWindow(); });
    menu->addAction(QStringLiteral("Help"), this, [this] { openHelpWindow(); });
    QAction* supportAction =
        menu->addAction(QStringLiteral("Support"), this, &AppDelegate::openSupportPage);
    supportAction->setEnabled(supportPageExists());
    menu->addSeparator();
    menu->addAction(QStringLiteral("Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this,
                    [this] { emit quitRequested(); });
    return menu;
}

bool AppDelegate::supportPageExists() const {
    // Nothing may point at a page that is not there.
    const QUrl support(options_.supportUrl);
    return support.isValid() && !support.isEmpty() &&
           (!support.isLocalFile() || QFileInfo::exists(support.toLocalFile()));
}

void AppDelegate::openSupportPage() {
    QDesktopServices::openUrl(QUrl(options_.supportUrl));
}

MenuFactory AppDelegate::menuFactory() {
    return [this] { return buildMenu(); };
}

void AppDelegate::showMenu(QPoint globalPos) {
    if (menu_) {
        menu_->hide();
    }
    QMenu* menu = buildMenu().release();
    menu_ = menu;
    // The menu lives for one showing; a later click finds no menu attached.
    connect(menu, &QMenu::aboutToHide, this, [this, menu] { closedMenu_.retire(menu); });
    menu->popup(globalPos);
}

QVector<QRect> AppDelegate::ownAreas() const {
    QVector<QRect> areas;
    if (auto* strip = dynamic_cast<StripFace*>(stripFace_.get())) {
        areas.append(strip->geometry());
    }
    for (const auto* face : {&sniFace_, &xembedFace_}) {
        if (auto* icon = dynamic_cast<TrayIconFace*>(face->get());
            icon && icon->geometry().isValid()) {
            areas.append(icon->geometry());
        }
    }
    for (const QPointer<QWidget>& window : {windows_.compactPanel, windows_.overlayWindow}) {
        if (visible(window)) {
            areas.append(window->frameGeometry());
        }
    }
    if (menu_ && menu_->isVisible()) {
        areas.append(menu_->geometry());
    }
    return areas;
}

void AppDelegate::handleOutsideClick(QPoint globalPos) {
    OutsideClickState state;
    state.compactPanelOpen = !windows_.compactPanel.isNull();
    state.dashboardVisible = visible(windows_.overlayWindow);
    const QScreen* screen = state.dashboardVisible ? windows_.overlayWindow->screen()
                                                   : QGuiApplication::primaryScreen();
    state.dashboardScreen = screen ? screen->geometry() : QRect();
    state.ownAreas = ownAreas();
    const OutsideClickOutcome outcome = outsideClickOutcome(globalPos, state);
    if (outcome.closeCompactPanel) {
        panelClosedWithoutClick();
    }
    if (outcome.closeDashboard) {
        closeOverlay();
    }
}
