#pragma once

#include "shortcuts/Shortcut.h"

#include <QString>

#include <optional>

// The text form of a combination, as messages and the recorder show it: the modifiers in the
// order Super, Ctrl, Alt, Shift, then the key's keysym name with its first letter capitalised,
// joined by "+": "Super+Shift+P", "Ctrl+Alt+Delete", "Super+Shift+Comma".
QString shortcutText(const Shortcut& shortcut);
// The key alone ("P", "Comma", "F5", "Page_Up").
QString keyText(int keysym);

// Reads the text form back, ignoring case; nothing when a part is no modifier or the last
// part is no key name.
std::optional<Shortcut> shortcutFromText(const QString& text);

// The keysym a key stands for in a stored combination: the lower-case letter for a letter.
int unshiftedKeysym(int keysym);
// The keysym's own name ("p", "comma"), as the desktop's shortcut settings spell keys.
QString keysymName(int keysym);
