#include "app/shell/Shell.h"

#include "app/shell/LaunchAtLogin.h"
#include "app/shell/ScreenMetrics.h"
#include "app/shell/SettingsFileNotice.h"
#include "app/shell/ShownSourceHolders.h"
#include "core/AppSettings.h"
#include "core/SystemMonitor.h"
#include "platform/DesktopNotifier.h"
#include "shortcuts/AppShortcutNames.h"
#include "shortcuts/KeyboardShortcuts.h"
#include "status_item/X11Watcher.h"

#include <QPointF>

Shell::Shell(AppSettings& settings, SystemMonitor& monitor, Clock& clock, X11Watcher* x11,
             ShellOptions options, QObject* parent)
    : QObject(parent),
      settings_(settings),
      monitor_(monitor),
      x11_(x11),
      options_(std::move(options)),
      helperInstall_(monitor, options_.helperInstall),
      faces_(settings, monitor, x11,
             {options_.makeStatusNotifierFace, options_.makeXEmbedFace, options_.makeStripFace},
             [this] { return menu_.build(); }),
      windows_(settings, monitor, clock, x11, faces_,
               {options_.makeDashboard, options_.makeSettingsWindow, options_.makeHelpWindow,
                options_.makeReportWindow},
               options_.supportUrl),
      menu_(windows_, options_.supportUrl) {
    connect(&faces_, &ShellFaces::menuRequested, &menu_, &ShellMenu::show);
    connect(&faces_, &ShellFaces::dashboardToggleRequested, &windows_,
            &ShellWindows::toggleDashboard);
    connect(&faces_, &ShellFaces::compactPanelToggleRequested, &windows_,
            &ShellWindows::toggleCompactPanel);
    connect(&windows_, &ShellWindows::quitRequested, this, &Shell::quitRequested);
    connect(&windows_, &ShellWindows::compactPanelShownChanged, &faces_,
            &ShellFaces::setToolTipsQuiet);
    connect(&menu_, &ShellMenu::quitRequested, this, &Shell::quitRequested);
    holdStatusItemSources(*this, settings_, monitor_.demand());
    if (options_.loginItem != nullptr) {
        followLaunchAtLogin(settings_, *options_.loginItem);
    }
}

Shell::~Shell() = default;

void Shell::applicationDidFinishLaunching() {
    // 1-2: the status item, drawn once.
    faces_.start();
    // 3: polling.
    monitor_.startPolling();
    // 4: the sensor helper installed and current, off the main thread; after a failure the
    // user may try again.
    helperInstall_.start();
    // 6: a finished recording opens its report.
    windows_.followRecorder(monitor_.recorder());
    // 7: new figures redraw the status item; its settings may change the faces too.
    connect(&monitor_, &SystemMonitor::statsUpdated, &faces_, &ShellFaces::update);
    connect(&settings_, &AppSettings::statusItemLookChanged, &faces_, &ShellFaces::reconcile);
    // 8: the global shortcuts.
    if (options_.shortcuts) {
        attachShortcuts(*options_.shortcuts);
    }
    // 9: a settings file that could not be used, said once per start.
    if (options_.notifier && options_.unreadableSettings) {
        options_.notifier->post(unreadableSettingsNotice(*options_.unreadableSettings));
    }
    // 10: the XEmbed tray coming and going, and presses anywhere on the desktop.
    if (x11_) {
        connect(x11_, &X11Watcher::xembedTrayChanged, &faces_, &ShellFaces::reconcile);
        connect(x11_, &X11Watcher::buttonPressed, this, [this](QPoint rootPos, int button) {
            handleOutsideClick((QPointF(rootPos) / screenPixelRatio()).toPoint(), button);
        });
    }
}

void Shell::attachShortcuts(KeyboardShortcuts& shortcuts) {
    // Each runs when its combination is released; the shortcuts may outlive the shell.
    const QPointer<ShellWindows> windows(&windows_);
    shortcuts.onKeyUp(app_shortcut::toggleCompact(), [windows] {
        if (windows) {
            windows->toggleCompactPanel();
        }
    });
    shortcuts.onKeyUp(app_shortcut::toggleDashboard(), [windows] {
        if (windows) {
            windows->toggleDashboard();
        }
    });
    shortcuts.onKeyUp(app_shortcut::openSettings(), [windows] {
        if (windows) {
            windows->openSettingsWindow();
        }
    });
}

void Shell::applicationWillTerminate() {
    monitor_.stopPolling();
    if (x11_) {
        disconnect(x11_, nullptr, this, nullptr);
        disconnect(x11_, nullptr, &faces_, nullptr);
    }
}

void Shell::handleOutsideClick(QPoint globalPos, int button) {
    windows_.handleOutsideClick(globalPos, button, faces_.areas() + menu_.areas());
}
