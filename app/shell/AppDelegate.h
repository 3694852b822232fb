#pragma once

#include "app/render/MenuBarRenderer.h"
#include "app/shell/ClickRouting.h"
#include "app/shell/FacePlan.h"
#include "app/shell/HelperInstallFlow.h"
#include "app/shell/WindowSlots.h"
#include "app/status/MenuFactory.h"
#include "app/status/RetiredWidget.h"
#include "app/status/StatusFace.h"
#include "app/status/TrayHostKind.h"
#include "core/Clock.h"
#include "core/UserDefaults.h"

#include <QObject>
#include <QPointer>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AppSettings;
class DesktopNotifier;
class KeyboardShortcuts;
class NotificationCenter;
class QMenu;
class SystemMonitor;
class LoginItem;
class X11Watcher;

// What the shell is given besides the core: the faces it may make and the windows of later
// issues. A window without a maker is not built yet: opening it logs that once.
struct ShellOptions {
    QString supportUrl;
    using FaceMaker = std::function<std::unique_ptr<StatusFace>(MenuFactory)>;
    FaceMaker makeStatusNotifierFace;
    FaceMaker makeXEmbedFace;
    FaceMaker makeStripFace;
    std::function<QWidget*()> makeOverlay;
    std::function<QWidget*()> makeSettingsWindow;
    std::function<QWidget*()> makeHelpWindow;
    std::function<QWidget*()> makeReportWindow;
    // The global shortcuts the shell attaches its three actions to; none: no shortcuts.
    KeyboardShortcuts* shortcuts = nullptr;
    // The sensor helper's installation at launch; without `install`, none is tried and the
    // monitor never asks for sensors.
    HelperInstallSteps helperInstall;
    // Where the shell's desktop notifications go; none: they are not shown.
    DesktopNotifier* notifier = nullptr;
    // The settings file found at start that could not be used: the user is told once, at
    // launch.
    std::optional<UnreadableSettingsFile> unreadableSettings;
    // The desktop's autostart entry, written as "Launch at Login" changes; none: not written.
    LoginItem* loginItem = nullptr;
};

// The program's shell: owns the status item's faces and every panel and window, routes the
// status item's clicks, shows its menu, follows the internal notifications and closes the
// floating panels when the user clicks elsewhere.
class AppDelegate final : public QObject {
    Q_OBJECT
public:
    AppDelegate(AppSettings& settings, SystemMonitor& monitor, NotificationCenter& center,
                Clock& clock, X11Watcher* x11, ShellOptions options, QObject* parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    // A StatusNotifierItem host appeared or went away (the watcher tracker says so).
    void setStatusNotifierHostPresent(bool present);

    void handleClick(ClickButton button, Qt::KeyboardModifiers modifiers, QPoint globalPos);
    void handleOutsideClick(QPoint globalPos);
    void updateStatusItem();

    void toggleCompactPanel();
    void showCompactPanel();
    void closeCompactPanel();
    void toggleOverlay();
    void showOverlay();
    void closeOverlay();
    void openSettingsWindow();
    void openHelpWindow();
    // The window of the recorder's last report; it replaces the window of an earlier report.
    void openReportWindow();

    std::unique_ptr<QMenu> buildMenu();
    void showMenu(QPoint globalPos);

    const WindowSlots& windows() const { return windows_; }
    QMenu* openMenu() const { return menu_; }
    const FacePlan& facePlan() const { return plan_; }
    std::vector<StatusFace*> faces() const;
    const StatusPicture& lastPicture() const { return picture_; }
    const MenuBarRenderer& renderer() const { return renderer_; }
    const HelperInstallFlow& helperInstallFlow() const { return helperInstall_; }
    // The wide image's height and the glance's side, in logical pixels.
    static constexpr double barThickness = 24;
    static constexpr double glanceSide = 22;

signals:
    void quitRequested();

private:
    void reconcileFaces();
    void attachShortcuts(KeyboardShortcuts& shortcuts);
    void connectFace(StatusFace* face);
    void onNotification(const QString& name);
    void panelClosedWithoutClick();
    std::optional<QPoint> statusAnchor() const;
    void openOrdinaryWindow(QPointer<QWidget>& slot, const std::function<QWidget*()>& make,
                            const QString& what);
    void notBuiltYet(const QString& what);
    QVector<QRect> ownAreas() const;
    MenuFactory menuFactory();
    bool supportPageExists() const;
    void openSupportPage();

    AppSettings& settings_;
    SystemMonitor& monitor_;
    NotificationCenter& center_;
    Clock& clock_;
    QPointer<X11Watcher> x11_;
    ShellOptions options_;
    MenuBarRenderer renderer_;
    HelperInstallFlow helperInstall_;

    FacePlan plan_;
    std::unique_ptr<StatusFace> sniFace_;
    std::unique_ptr<StatusFace> xembedFace_;
    std::unique_ptr<StatusFace> stripFace_;
    StatusPicture picture_;
    WindowSlots windows_;
    QPointer<QMenu> menu_;
    RetiredWidget closedPanel_;
    RetiredWidget closedOverlay_;
    RetiredWidget closedMenu_;
    std::optional<Clock::SteadyTime> panelClosedWithoutClickAt_;
    std::optional<QPoint> lastClickPos_;
    QPointer<StatusFace> lastClickedFace_;  // the panels hang from the face clicked last
    bool statusNotifierHost_ = false;
    bool statusNotifierItemRefused_ = false;  // until the host changes
    QSet<QString> loggedNotBuilt_;
    bool launched_ = false;
};
