#pragma once

#include "app/shell/ClickRouting.h"
#include "app/shell/FacePlan.h"
#include "app/shell/HelperInstallFlow.h"
#include "app/shell/ShellFaces.h"
#include "app/shell/ShellMenu.h"
#include "app/shell/ShellWindows.h"
#include "app/shell/WindowSlots.h"
#include "core/Clock.h"
#include "core/SettingsFile.h"
#include "status_item/MenuFactory.h"
#include "status_item/StatusFace.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AppSettings;
class DesktopNotifier;
class KeyboardShortcuts;
class QMenu;
class SystemMonitor;
class LoginItem;
class X11Watcher;

// What the shell is given besides the core: the faces it may make (an empty maker: the
// program's own) and the windows. A window without a maker is not built: opening it logs that
// once.
struct ShellOptions {
    QString supportUrl;
    using FaceMaker = ShellFaces::FaceMaker;
    FaceMaker makeStatusNotifierFace;
    FaceMaker makeXEmbedFace;
    FaceMaker makeStripFace;
    std::function<QWidget*()> makeDashboard;
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

// The program's shell: owns the status item's faces, its panels and windows and its menu, and
// connects them to each other, to the monitor's and the settings' signals, to the global
// shortcuts and to presses anywhere on the desktop.
class Shell final : public QObject {
    Q_OBJECT
public:
    Shell(AppSettings& settings, SystemMonitor& monitor, Clock& clock, X11Watcher* x11,
          ShellOptions options, QObject* parent = nullptr);
    ~Shell() override;

    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    // A StatusNotifierItem host appeared or went away (the watcher tracker says so).
    void setStatusNotifierHostPresent(bool present) {
        faces_.setStatusNotifierHostPresent(present);
    }

    void handleClick(ClickButton button, Qt::KeyboardModifiers modifiers, QPoint globalPos) {
        faces_.handleClick(button, modifiers, globalPos);
    }
    // A press of `button` (the X server's number) anywhere on the desktop.
    void handleOutsideClick(QPoint globalPos, int button);

    void showCompactPanel() { windows_.showCompactPanel(); }
    void closeCompactPanel() { windows_.closeCompactPanel(); }
    void openSettingsWindow() { windows_.openSettingsWindow(); }
    void openHelpWindow() { windows_.openHelpWindow(); }
    std::unique_ptr<QMenu> buildMenu() { return menu_.build(); }

    const WindowSlots& windows() const { return windows_.openWindows(); }
    QMenu* openMenu() const { return menu_.openMenu(); }
    const FacePlan& facePlan() const { return faces_.plan(); }
    std::vector<StatusFace*> faces() const { return faces_.faces(); }
    const HelperInstallFlow& helperInstallFlow() const { return helperInstall_; }

signals:
    void quitRequested();

private:
    void attachShortcuts(KeyboardShortcuts& shortcuts);

    AppSettings& settings_;
    SystemMonitor& monitor_;
    QPointer<X11Watcher> x11_;
    ShellOptions options_;
    HelperInstallFlow helperInstall_;
    ShellFaces faces_;
    ShellWindows windows_;
    ShellMenu menu_;
};
