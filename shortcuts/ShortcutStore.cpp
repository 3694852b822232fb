#include "shortcuts/ShortcutStore.h"

#include "core/UserDefaults.h"

QString ShortcutStore::key(const ShortcutName& name) {
    return QStringLiteral("KeyboardShortcuts_") + name.rawValue;
}

std::optional<Shortcut> ShortcutStore::shortcut(const ShortcutName& name) const {
    const auto stored = defaults_.value(key(name));
    if (!stored) {
        return name.defaultShortcut;
    }
    if (!stored->isString()) {
        return std::nullopt;
    }
    return decodeShortcut(stored->toString());
}

bool ShortcutStore::setShortcut(const std::optional<Shortcut>& shortcut, const ShortcutName& name) {
    if (shortcut) {
        return defaults_.set(key(name), encodeShortcut(*shortcut));
    }
    if (name.defaultShortcut) {
        return defaults_.set(key(name), false);
    }
    return defaults_.remove(key(name));
}
