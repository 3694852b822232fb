#pragma once

#include "core/SettingsReader.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

class Clock;

// The application's persistent settings: one human-readable JSON object in a file, read once
// when the store is made and rewritten whole and atomically on every change.
//
// A missing file is a first run: the store starts empty and no file exists until the first
// write. A file that cannot be read or parsed, or whose top level is not an object, also
// starts the store empty, but it is never lost: it stays untouched until the first write,
// which first renames it to "<file>.corrupt-<UTC yyyyMMddTHHmmssZ>".
//
// Write failures are reported by the return value; the value in memory changes regardless.
class UserDefaults final : public SettingsReader {
public:
    explicit UserDefaults(QString filePath);
    // `clock` names the moved-aside copy of an unreadable file; it must outlive the store.
    UserDefaults(QString filePath, const Clock& clock);

    // $XDG_CONFIG_HOME/vantrel/settings.json (normally ~/.config/vantrel/settings.json).
    static QString defaultFilePath();

    QString filePath() const { return filePath_; }

    // Keeps later changes in memory only, for tools that read the user's settings and adjust
    // them for one run without touching the file.
    void keepChangesInMemory() { inMemoryOnly_ = true; }

    std::optional<QJsonValue> value(const QString& key) const override;
    // Everything stored, as the file holds it.
    const QJsonObject& values() const { return values_; }

    // Stores `value` (an undefined value removes the key) and rewrites the file.
    bool set(const QString& key, const QJsonValue& value);
    bool remove(const QString& key);

    // Where the unreadable file found at start was moved, once the first write has moved it.
    std::optional<QString> movedAsidePath() const { return movedAsidePath_; }

private:
    void load();
    bool save();
    bool moveUnreadableFileAside();

    QString filePath_;
    const Clock& clock_;
    QJsonObject values_;
    bool unreadableFileKept_ = false;
    bool inMemoryOnly_ = false;
    std::optional<QString> movedAsidePath_;
};
