#pragma once

#include "core/SettingsReader.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

class Clock;

// A settings file found at start that could not be used: why, in words for the user, and
// where the file is now.
struct UnreadableSettingsFile {
    QString reason;
    QString keptPath;
    bool operator==(const UnreadableSettingsFile&) const = default;
};

// The application's persistent settings: one human-readable JSON object in a file, read once
// when the store is made and rewritten whole and atomically on every change.
//
// A missing file is a first run: the store starts empty and no file exists until the first
// write. A file that cannot be read or parsed, or whose top level is not an object, also
// starts the store empty, but it is never lost: it stays untouched until the first write,
// which first renames it to "<file>.corrupt-<UTC yyyyMMddTHHmmssZ>".
//
// Write failures are reported by the return value; the value in memory changes regardless.
class SettingsFile final : public SettingsReader {
public:
    explicit SettingsFile(QString filePath);
    // `clock` names the moved-aside copy of an unreadable file; it must outlive the store.
    SettingsFile(QString filePath, const Clock& clock);

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

    // The file found at start that could not be used, if there was one: its place follows the
    // move aside.
    std::optional<UnreadableSettingsFile> unreadableFile() const;
    // Moves the unreadable file found at start aside now rather than at the first write, so
    // that the user can be told where it is kept. False when there is nothing to move, when
    // changes stay in memory, or when the move failed (the file then stays where it is).
    bool moveUnreadableFileAsideNow();

private:
    void load();
    bool save();
    bool moveUnreadableFileAside();

    QString filePath_;
    const Clock& clock_;
    QJsonObject values_;
    bool unreadableFileKept_ = false;
    QString unreadableReason_;
    bool inMemoryOnly_ = false;
    std::optional<QString> movedAsidePath_;
};
