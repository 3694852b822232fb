#include "shortcuts/SessionHotKeys.h"

#include "shortcuts/PortalHotKeys.h"
#include "shortcuts/X11HotKeys.h"

#include <QtGlobal>

#include <cstdio>

namespace {

std::unique_ptr<HotKeyBackend> none(const QString& reason) {
    std::fprintf(stderr,
                 "[KeyboardShortcuts] Global shortcuts are not available in this session: %s\n",
                 qPrintable(reason));
    return std::make_unique<UnavailableHotKeys>(reason);
}

}  // namespace

bool waylandSession() {
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

std::unique_ptr<HotKeyBackend> makeSessionHotKeys(const QDBusConnection& bus) {
    if (waylandSession()) {
        if (bus.isConnected()) {
            return std::make_unique<PortalHotKeys>(bus);
        }
        return none(QStringLiteral("no session bus to reach the desktop portal"));
    }
    if (auto x11 = X11HotKeys::forApplication()) {
        return x11;
    }
    return none(QStringLiteral("the program runs neither on X11 nor in a Wayland session"));
}
