#pragma once

#include "core/ShortcutCombination.h"

#include <QString>

#include <optional>

// One shortcut of the program, equal by `rawValue` ("toggleCompact").
struct ShortcutName {
    QString rawValue;
    std::optional<Shortcut> defaultShortcut;
    bool operator==(const ShortcutName& other) const { return rawValue == other.rawValue; }
};
