#pragma once

#include "shortcuts/Shortcut.h"

#include <QString>

#include <optional>

class SettingsFile;

// The combinations as the settings file keeps them: one value per name under
// `shortcutKeyPrefix` + name, which is either
// - text holding the JSON object of `encodeShortcut`: the user's (or the default) combination;
// - the Boolean false: the user cleared a name that has a default, which must not come back;
// - missing: nothing was ever stored, the name's default applies.
class ShortcutStore {
public:
    explicit ShortcutStore(SettingsFile& defaults) : defaults_(defaults) {}

    static QString key(const ShortcutName& name);

    // The stored combination, or the default when nothing is stored or the stored combination
    // lacks Ctrl, Alt or Super; nothing when cleared or when the stored value is of another
    // kind or does not decode.
    std::optional<Shortcut> shortcut(const ShortcutName& name) const;
    // Nothing clears: false for a name with a default, no value otherwise. False when the
    // settings file could not be written (the value in memory changed anyway).
    bool setShortcut(const std::optional<Shortcut>& shortcut, const ShortcutName& name);

private:
    SettingsFile& defaults_;
};
