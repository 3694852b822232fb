#pragma once

#include "shortcuts/HotKeyBackend.h"
#include "shortcuts/Shortcut.h"
#include "shortcuts/ShortcutStore.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class SettingsFile;

// The program's global shortcuts: per name, the combination the user chose (or the name's
// default) in the settings file, its registration as a system-wide hot key while actions are
// attached to the name, and the actions run when it is pressed and released anywhere on the
// desktop. While a recorder records, every hot key rests, so the recorder hears the keys.
class KeyboardShortcuts : public QObject {
    Q_OBJECT
public:
    using Action = std::function<void()>;

    KeyboardShortcuts(SettingsFile& defaults, std::unique_ptr<HotKeyBackend> backend,
                      QObject* parent = nullptr);
    ~KeyboardShortcuts() override;

    // Append the action to the name's list (run in the order added), then register the name's
    // combination if it has one.
    void onKeyDown(const ShortcutName& name, Action action);
    void onKeyUp(const ShortcutName& name, Action action);

    std::optional<Shortcut> getShortcut(const ShortcutName& name) const;
    // Stores the combination (nothing clears it), registers it in place of the old one while
    // the name has actions, and emits shortcutChanged.
    void setShortcut(const std::optional<Shortcut>& shortcut, const ShortcutName& name);

    // How the name's combination stands with the desktop; nothing while it is not registered
    // (no combination, no actions, or resting while a recorder records).
    std::optional<HotKeyResult> registration(const QString& rawValue) const;
    bool hotKeysAvailable() const { return backend_->available(); }
    QString unavailableReason() const { return backend_->unavailableReason(); }
    // The name other than `except` whose combination is `shortcut`.
    std::optional<QString> nameUsing(const Shortcut& shortcut, const QString& except) const;
    // The keysym a key types without modifiers, from its X key code, where the session says.
    std::optional<int> unshiftedKeysymOfKey(quint32 keyCode) const {
        return backend_->unshiftedKeysymOfKey(keyCode);
    }

    // A recorder started or stopped recording. Hot keys rest while any records.
    void setRecorderActive(const QObject* recorder, bool active);
    bool recorderActive() const { return !activeRecorders_.isEmpty(); }

signals:
    // The name's combination or its registration changed.
    void shortcutChanged(const QString& rawValue);

private:
    struct Entry {
        ShortcutName name;
        std::vector<Action> keyDown;
        std::vector<Action> keyUp;
        std::optional<int> hotKeyId;
        std::optional<Shortcut> registered;  // the combination `hotKeyId` stands for
        std::optional<HotKeyResult> result;
    };

    Entry& entry(const ShortcutName& name);
    // Registers the name's combination unless it is registered already; `again` asks anew.
    void registerName(Entry& entry, bool again = false);
    void unregisterName(Entry& entry);
    void registerAll();
    void unregisterAll();
    Entry* entryWithHotKey(int id);
    void run(int id, bool down);

    ShortcutStore store_;
    std::unique_ptr<HotKeyBackend> backend_;
    QHash<QString, Entry> entries_;
    QSet<const QObject*> activeRecorders_;
    int nextHotKeyId_ = 1;
};
