#pragma once

#include "shortcuts/HotKeyBackend.h"

#include <QDBusConnection>

#include <memory>

// Whether the session is a Wayland one ($XDG_SESSION_TYPE, $WAYLAND_DISPLAY).
bool waylandSession();

// The hot keys of this session, for the running application: in a Wayland session the desktop
// portal (X11 programs there get keys only while one of their own windows has the focus, so a
// key grab would only pretend to work), on X11 key grabs, elsewhere none.
std::unique_ptr<HotKeyBackend> makeSessionHotKeys(const QDBusConnection& bus);
