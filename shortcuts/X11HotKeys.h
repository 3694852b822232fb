#pragma once

#include "shortcuts/HotKeyBackend.h"

#include <QAbstractNativeEventFilter>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

struct xcb_connection_t;
struct _XCBKeySymbols;

// Global shortcuts on X11: a passive grab of the combination's key on every root window, on
// the toolkit's own X connection, so the presses arrive among its events and a native event
// filter takes them out. Each combination is grabbed four times, alone and with CapsLock,
// NumLock and both, so the lock keys do not stop it; a grab another client holds already
// fails with BadAccess, and then none of the four stays. A change of the keyboard's mapping
// asks for every grab again, since key codes and modifier bits may have moved.
class X11HotKeys final : public HotKeyBackend, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // Over the application's X connection; nothing when the application does not run on X11.
    static std::unique_ptr<X11HotKeys> forApplication();
    explicit X11HotKeys(xcb_connection_t* connection, QObject* parent = nullptr);
    ~X11HotKeys() override;

    bool available() const override { return true; }
    QString unavailableReason() const override { return {}; }
    HotKeyResult add(int id, const QString& name, const Shortcut& shortcut) override;
    void remove(int id) override;
    std::optional<int> unshiftedKeysymOfKey(quint32 keyCode) const override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Grab {
        std::vector<std::uint8_t> keyCodes;
        std::uint16_t modifiers = 0;       // the X modifier bits of the combination
        std::vector<std::uint16_t> locks;  // the lock bits added to them, one grab each
    };
    struct HeldKey {
        int id;
        std::uint8_t keyCode;
        // A release not yet passed on. The server's key repeat sends releases and presses
        // while the key stays down, and under load they may arrive in separate reads: a
        // release is passed on only if the key is still up once the events read with it
        // are through.
        bool released = false;
    };

    void readModifierMapping();
    std::vector<std::uint8_t> keyCodesOf(std::uint32_t keysym) const;
    std::uint16_t modifierMaskOf(std::initializer_list<std::uint32_t> keysyms,
                                 std::uint16_t fallback) const;
    std::uint16_t xModifiers(int shortcutModifiers) const;
    std::vector<std::uint16_t> lockVariants() const;
    // Releases the grabs of `grab` that no other registration shares.
    void ungrab(const Grab& grab, int id);
    bool onKey(const void* event, bool press);
    bool keyIsDown(std::uint8_t keyCode) const;
    void passOn(int id, bool press);
    void passOnReleases();
    void scheduleRenewal();

    xcb_connection_t* connection_;
    std::vector<std::uint32_t> roots_;
    _XCBKeySymbols* keySymbols_ = nullptr;
    std::uint16_t altMask_ = 0;
    std::uint16_t superMask_ = 0;
    std::uint16_t numLockMask_ = 0;
    std::uint8_t xkbEventBase_ = 0;
    bool renewalScheduled_ = false;
    bool releasesScheduled_ = false;
    std::map<int, Grab> grabs_;
    std::vector<HeldKey> held_;
};
