#pragma once

#include "shortcuts/Shortcut.h"

#include <QObject>
#include <QString>

#include <optional>
#include <utility>

// How one combination stands with the desktop.
enum class HotKeyOutcome {
    registered,   // the desktop tells us when it is pressed
    pending,      // asked; the desktop answers later (`settled`)
    taken,        // another program holds it
    noKey,        // no key of the current keyboard types it
    failed,       // refused for another reason
    unavailable,  // this session has no global shortcuts
};

struct HotKeyResult {
    HotKeyOutcome outcome = HotKeyOutcome::unavailable;
    // The desktop's error code for `taken` and `failed` (an X error code on X11); -1 for
    // `noKey`; 0 otherwise.
    int status = 0;
};

// Where system-wide hot keys come from in this session: X11 key grabs, the desktop portal,
// or nothing. Each registration has an id chosen by the caller; press and release of the
// combination come back with it.
class HotKeyBackend : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool available() const = 0;
    // Why not, for messages, when `available()` is false.
    virtual QString unavailableReason() const = 0;

    // `name` is the shortcut's name, for desktops that list the shortcuts they hold.
    virtual HotKeyResult add(int id, const QString& name, const Shortcut& shortcut) = 0;
    virtual void remove(int id) = 0;

    // The keysym a key of the keyboard types without modifiers, from its X key code;
    // nothing where the session does not say.
    virtual std::optional<int> unshiftedKeysymOfKey(quint32 keyCode) const {
        Q_UNUSED(keyCode);
        return std::nullopt;
    }

signals:
    void pressed(int id);
    void released(int id);
    // An answer that `add` left pending.
    void settled(int id, HotKeyResult result);
    // The keyboard's mapping or the session's offer changed: every registration must be
    // removed and added again.
    void renewalNeeded();
};

// For sessions without global shortcuts.
class UnavailableHotKeys final : public HotKeyBackend {
    Q_OBJECT
public:
    explicit UnavailableHotKeys(QString reason, QObject* parent = nullptr)
        : HotKeyBackend(parent), reason_(std::move(reason)) {}

    bool available() const override { return false; }
    QString unavailableReason() const override { return reason_; }
    HotKeyResult add(int, const QString&, const Shortcut&) override { return {}; }
    void remove(int) override {}

private:
    QString reason_;
};
