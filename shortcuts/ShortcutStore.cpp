#include "shortcuts/ShortcutStore.h"

#include "core/SettingRules.h"
#include "core/SettingsFile.h"

QString ShortcutStore::key(const ShortcutName& name) {
    return shortcutKeyPrefix + name.rawValue;
}

std::optional<Shortcut> ShortcutStore::shortcut(const ShortcutName& name) const {
    const auto stored = defaults_.value(key(name));
    if (!stored) {
        return name.defaultShortcut;
    }
    if (!stored->isString()) {
        return std::nullopt;
    }
    const std::optional<Shortcut> decoded = decodeShortcut(stored->toString());
    // A hand edit or an older version may hold a plain key; grabbing it would take that key
    // from every other program, so the name keeps its default (the log named it at start).
    if (decoded && !decoded->hasCommandModifier()) {
        return name.defaultShortcut;
    }
    return decoded;
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
