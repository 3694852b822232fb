#include "app/shell/DesktopWindowMakers.h"
#include "app/shell/HelperPrompt.h"
#include "app/shell/Shell.h"
#include "app/shell/SingleInstance.h"
#include "core/AppSettings.h"
#include "core/Clock.h"
#include "core/InterruptWatcher.h"
#include "core/LoginItem.h"
#include "core/SettingsFile.h"
#include "core/SystemMonitor.h"
#include "linux_monitor/LinuxMonitorParts.h"
#include "platform/linux/desktop/DBusDesktopNotifier.h"
#include "sensors/HelperInstaller.h"
#include "shortcuts/KeyboardShortcuts.h"
#include "shortcuts/SessionHotKeys.h"
#include "status_item/X11Watcher.h"
#include "status_item/sni/StatusNotifierWatcherTracker.h"

#include <QApplication>
#include <QDBusConnection>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#ifndef VANTREL_SUPPORT_URL
#define VANTREL_SUPPORT_URL ""
#endif

namespace {

const char* const usage =
    "Usage: vantrel [--help] [--version]\n"
    "\n"
    "Shows this machine's CPU, memory, network, disk, GPU, battery and sensor readings in\n"
    "the desktop's tray, or in a small status strip where there is no tray. Left click:\n"
    "compact view; Alt+left click: dashboard; right click: menu. A second start opens the\n"
    "running program's compact view.\n"
    "\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n";

int fail(const char* text) {
    std::fprintf(stderr, "vantrel: %s\n", text);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("vantrel %s\n", VANTREL_VERSION);
            return 0;
        }
        std::fprintf(stderr, "vantrel: unknown option %s (see vantrel --help)\n", argv[i]);
        return 2;
    }
    // Panels hang under the status item, and only X11 lets a program place its windows: in a
    // Wayland session the program runs through XWayland.
    qputenv("QT_QPA_PLATFORM", "xcb");
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        return fail(
            "no X display to show the status item on (DISPLAY is not set; a Wayland "
            "session needs XWayland)");
    }
    // The toolkit would abort without a word on a display it cannot open. This connection
    // stays open, so that a server with no other client does not reset under the toolkit.
    auto x11 = std::make_unique<X11Watcher>();
    if (!x11->isOpen()) {
        std::fprintf(stderr, "vantrel: cannot connect to the X display %s\n", display);
        return 1;
    }

    QApplication app(argc, argv);
    x11->startListening();
    QApplication::setApplicationName(QStringLiteral("vantrel"));
    QApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance(QDBusConnection::sessionBus());
    switch (instance.claim()) {
        case SingleInstance::Claim::alreadyRunning:
            if (!instance.failure().isEmpty()) {
                std::fprintf(stderr, "vantrel: the running Vantrel did not answer: %s\n",
                             qPrintable(instance.failure()));
                return 1;
            }
            return 0;
        case SingleInstance::Claim::noBus:
            std::fprintf(stderr,
                         "vantrel: no session bus (%s); running without the one-instance check "
                         "and without a StatusNotifierItem\n",
                         qPrintable(instance.failure()));
            break;
        case SingleInstance::Claim::first:
            break;
    }

    SystemClock clock;
    SettingsFile defaults(SettingsFile::defaultFilePath(), clock);
    LoginItem loginItem(QCoreApplication::applicationFilePath());
    AppSettings settings(defaults);
    // The user is told where an unusable settings file is kept, so it is kept aside at once.
    defaults.moveUnreadableFileAsideNow();
    DBusDesktopNotifier desktopNotifier;
    SystemMonitor monitor(settings, clock, makeLinuxMonitorParts(clock));
    KeyboardShortcuts shortcuts(defaults, makeSessionHotKeys(QDBusConnection::sessionBus()));
    // Whether the desktop shows StatusNotifierItems, now and whenever its tray host comes or goes.
    StatusNotifierWatcherTracker trayHost(QDBusConnection::sessionBus());

    ShellOptions options;
    options.supportUrl = QStringLiteral(VANTREL_SUPPORT_URL);
    addDesktopWindowMakers(options, monitor, settings, defaults, &shortcuts, clock);
    options.shortcuts = &shortcuts;
    options.notifier = &desktopNotifier;
    options.unreadableSettings = defaults.unreadableFile();
    options.loginItem = &loginItem;
    // The sensor helper: the installer beside this program in a build tree, else the package's.
    HelperInstallerOptions installerOptions;
    installerOptions.installer =
        HelperInstaller::findInstaller(QCoreApplication::applicationDirPath());
    auto helperInstaller = std::make_shared<HelperInstaller>(installerOptions);
    options.helperInstall.install = [helperInstaller] { return helperInstaller->install(); };
    options.helperInstall.cancel = [helperInstaller] { helperInstaller->cancel(); };
    options.helperInstall.ask = askAfterFailedHelperInstall;
    Shell shell(settings, monitor, clock, x11.get(), options);
    shell.setStatusNotifierHostPresent(trayHost.hostPresent());
    QObject::connect(&trayHost, &StatusNotifierWatcherTracker::hostPresentChanged, &shell,
                     &Shell::setStatusNotifierHostPresent);
    QObject::connect(&instance, &SingleInstance::openCompactPanelRequested, &shell, [&shell] {
        if (!shell.windows().compactPanel) {
            shell.showCompactPanel();
        }
    });
    QObject::connect(&shell, &Shell::quitRequested, &app, &QApplication::quit);
    InterruptWatcher interrupts;
    QObject::connect(&interrupts, &InterruptWatcher::interrupted, &app, &QApplication::quit);
    QObject::connect(&app, &QApplication::aboutToQuit, &shell, &Shell::applicationWillTerminate);

    shell.applicationDidFinishLaunching();
    const int result = QApplication::exec();
    x11.reset();  // its socket notifier goes while the event loop is still there
    return result;
}
