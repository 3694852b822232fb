#pragma once

#include "shortcuts/Shortcut.h"

// The program's three global shortcuts and their defaults.
namespace app_shortcut {

inline constexpr int keysymP = 0x70;
inline constexpr int keysymO = 0x6f;
inline constexpr int keysymComma = 0x2c;

// Super+Shift+P: the compact panel, open or closed.
inline ShortcutName toggleCompact() {
    return {QStringLiteral("toggleCompact"),
            Shortcut{keysymP, shortcut_modifier::super | shortcut_modifier::shift}};
}
// Super+Shift+O: the dashboard, open or closed.
inline ShortcutName toggleDashboard() {
    return {QStringLiteral("toggleOverlay"),
            Shortcut{keysymO, shortcut_modifier::super | shortcut_modifier::shift}};
}
// Super+Shift+Comma: the settings window.
inline ShortcutName openSettings() {
    return {QStringLiteral("openSettings"),
            Shortcut{keysymComma, shortcut_modifier::super | shortcut_modifier::shift}};
}

}  // namespace app_shortcut
