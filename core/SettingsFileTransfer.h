#pragma once

#include "core/SettingRules.h"

#include <QString>
#include <QStringList>
#include <QVector>

class AppSettings;
class SettingsFile;

// What an export or an import did. An error means nothing was written (export) or nothing was
// changed (import); the text says why, in words for the user.
struct SettingsFileResult {
    QString error;
    // Import only: the file's keys that were left alone, by name, each with why: unknown, of
    // the wrong type, or breaking a rule of the Settings window.
    QVector<IgnoredSetting> ignored;
    // Import only: the global shortcuts ("toggleCompact", ...) whose stored combination changed.
    // The settings file holds them, but the hot keys registered with the desktop follow only
    // when KeyboardShortcuts sets each of them again.
    QStringList changedShortcuts;

    bool ok() const { return error.isEmpty(); }
};

// A settings file larger than this is refused unread; a real one is a few kilobytes.
inline constexpr qint64 settingsFileSizeLimit = 1024 * 1024;

// Writes the settings file's content to `path`, completed with the current value of every
// preference that was never changed (so an import elsewhere gives back these very settings),
// as indented JSON. The file appears whole or not at all: it is written beside the target and
// renamed over it.
SettingsFileResult exportSettingsFile(const AppSettings& settings, const SettingsFile& stored,
                                      const QString& path);

// Reads `path` whole and, if it holds a JSON object, applies every preference it names with a
// usable value through the store's setters (a value equal to the current one changes
// nothing), in the store's own order, and takes the stored global shortcuts along. Unknown
// keys, keys of the wrong type and values the Settings window would not allow (an interval it
// does not offer, a shortcut without Ctrl, Alt or Super) are left alone and listed with why.
// A file that cannot be read or is not a JSON object changes nothing.
SettingsFileResult importSettingsFile(AppSettings& settings, SettingsFile& stored,
                                      const QString& path);
