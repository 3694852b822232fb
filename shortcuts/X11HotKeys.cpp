#include "shortcuts/X11HotKeys.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Keysyms of the modifier keys whose modifier bit the mapping decides.
constexpr std::uint32_t keysymNumLock = 0xff7f;
constexpr std::uint32_t keysymAltL = 0xffe9;
constexpr std::uint32_t keysymAltR = 0xffea;
constexpr std::uint32_t keysymMetaL = 0xffe7;
constexpr std::uint32_t keysymSuperL = 0xffeb;
constexpr std::uint32_t keysymSuperR = 0xffec;

// The XKB events that say the keyboard's mapping changed.
constexpr std::uint8_t xkbNewKeyboardNotify = 0;
constexpr std::uint8_t xkbMapNotify = 1;

// The eight modifier bits; XKB adds the keyboard group above them.
constexpr std::uint16_t modifierBits = 0xff;

template <typename T>
struct Freed {
    T* pointer;
    ~Freed() { std::free(pointer); }
};

}  // namespace

std::unique_ptr<X11HotKeys> X11HotKeys::forApplication() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) {
        return nullptr;
    }
    return std::make_unique<X11HotKeys>(x11->connection());
}

X11HotKeys::X11HotKeys(xcb_connection_t* connection, QObject* parent)
    : HotKeyBackend(parent), connection_(connection) {
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection_)); screens.rem > 0;
         xcb_screen_next(&screens)) {
        roots_.push_back(screens.data->root);
    }
    keySymbols_ = xcb_key_symbols_alloc(connection_);
    readModifierMapping();
    // The toolkit has asked for XKB's events on this connection; only their base is needed.
    static constexpr char xkbName[] = "XKEYBOARD";
    Freed<xcb_query_extension_reply_t> xkb{xcb_query_extension_reply(
        connection_, xcb_query_extension(connection_, std::strlen(xkbName), xkbName), nullptr)};
    if (xkb.pointer && xkb.pointer->present) {
        xkbEventBase_ = xkb.pointer->first_event;
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKeys::~X11HotKeys() {
    if (QCoreApplication::instance()) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
    while (!grabs_.empty()) {
        remove(grabs_.begin()->first);
    }
    xcb_flush(connection_);
    xcb_key_symbols_free(keySymbols_);
}

std::vector<std::uint8_t> X11HotKeys::keyCodesOf(std::uint32_t keysym) const {
    std::vector<std::uint8_t> codes;
    Freed<xcb_keycode_t> found{xcb_key_symbols_get_keycode(keySymbols_, keysym)};
    for (const xcb_keycode_t* code = found.pointer; code && *code != XCB_NO_SYMBOL; ++code) {
        if (std::find(codes.begin(), codes.end(), *code) == codes.end()) {
            codes.push_back(*code);
        }
    }
    return codes;
}

std::uint16_t X11HotKeys::modifierMaskOf(std::initializer_list<std::uint32_t> keysyms,
                                         std::uint16_t fallback) const {
    Freed<xcb_get_modifier_mapping_reply_t> mapping{xcb_get_modifier_mapping_reply(
        connection_, xcb_get_modifier_mapping(connection_), nullptr)};
    if (!mapping.pointer) {
        return fallback;
    }
    const int perModifier = mapping.pointer->keycodes_per_modifier;
    const xcb_keycode_t* table = xcb_get_modifier_mapping_keycodes(mapping.pointer);
    std::vector<std::uint8_t> wanted;
    for (const std::uint32_t keysym : keysyms) {
        const auto codes = keyCodesOf(keysym);
        wanted.insert(wanted.end(), codes.begin(), codes.end());
    }
    // Shift, Lock and Control are fixed; Mod1 to Mod5 are the mapping's to give.
    for (int modifier = 3; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t code = table[modifier * perModifier + i];
            if (code != 0 && std::find(wanted.begin(), wanted.end(), code) != wanted.end()) {
                return static_cast<std::uint16_t>(1U << modifier);
            }
        }
    }
    return fallback;
}

void X11HotKeys::readModifierMapping() {
    numLockMask_ = modifierMaskOf({keysymNumLock}, 0);
    altMask_ = modifierMaskOf({keysymAltL, keysymAltR, keysymMetaL}, XCB_MOD_MASK_1);
    superMask_ = modifierMaskOf({keysymSuperL, keysymSuperR}, XCB_MOD_MASK_4);
}

std::uint16_t X11HotKeys::xModifiers(int shortcutModifiers) const {
    std::uint16_t mask = 0;
    if (shortcutModifiers & shortcut_modifier::shift) {
        mask |= XCB_MOD_MASK_SHIFT;
    }
    if (shortcutModifiers & shortcut_modifier::control) {
        mask |= XCB_MOD_MASK_CONTROL;
    }
    if (shortcutModifiers & shortcut_modifier::alt) {
        mask |= altMask_;
    }
    if (shortcutModifiers & shortcut_modifier::super) {
        mask |= superMask_;
    }
    return mask;
}

std::vector<std::uint16_t> X11HotKeys::lockVariants() const {
    std::vector<std::uint16_t> variants{0, XCB_MOD_MASK_LOCK};
    if (numLockMask_ != 0 && numLockMask_ != XCB_MOD_MASK_LOCK) {
        variants.push_back(numLockMask_);
        variants.push_back(numLockMask_ | XCB_MOD_MASK_LOCK);
    }
    return variants;
}

HotKeyResult X11HotKeys::add(int id, const QString& name, const Shortcut& shortcut) {
    Q_UNUSED(name);
    remove(id);
    Grab grab{keyCodesOf(static_cast<std::uint32_t>(shortcut.carbonKeyCode)),
              xModifiers(shortcut.carbonModifiers), lockVariants()};
    if (grab.keyCodes.empty()) {
        return {HotKeyOutcome::noKey, -1};
    }
    // All requests first, then their answers: one round trip for the lot.
    std::vector<xcb_void_cookie_t> requests;
    for (const std::uint32_t root : roots_) {
        for (const std::uint8_t code : grab.keyCodes) {
            for (const std::uint16_t locks : grab.locks) {
                requests.push_back(xcb_grab_key_checked(connection_, 0, root,
                                                        grab.modifiers | locks, code,
                                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
            }
        }
    }
    int errorCode = 0;
    for (const xcb_void_cookie_t request : requests) {
        Freed<xcb_generic_error_t> error{xcb_request_check(connection_, request)};
        if (error.pointer && errorCode == 0) {
            errorCode = error.pointer->error_code;
        }
    }
    if (errorCode != 0) {
        ungrab(grab, id);
        xcb_flush(connection_);
        return {errorCode == XCB_ACCESS ? HotKeyOutcome::taken : HotKeyOutcome::failed, errorCode};
    }
    grabs_[id] = std::move(grab);
    return {HotKeyOutcome::registered, 0};
}

void X11HotKeys::remove(int id) {
    const auto found = grabs_.find(id);
    if (found == grabs_.end()) {
        return;
    }
    const Grab grab = found->second;
    grabs_.erase(found);
    ungrab(grab, id);
    xcb_flush(connection_);
    std::erase_if(held_, [id](const HeldKey& key) { return key.id == id; });
}

void X11HotKeys::ungrab(const Grab& grab, int id) {
    for (const std::uint8_t code : grab.keyCodes) {
        const bool shared = std::any_of(grabs_.begin(), grabs_.end(), [&](const auto& other) {
            return other.first != id && other.second.modifiers == grab.modifiers &&
                   std::find(other.second.keyCodes.begin(), other.second.keyCodes.end(), code) !=
                       other.second.keyCodes.end();
        });
        if (shared) {
            continue;
        }
        for (const std::uint32_t root : roots_) {
            for (const std::uint16_t locks : grab.locks) {
                xcb_ungrab_key(connection_, code, root, grab.modifiers | locks);
            }
        }
    }
}

std::optional<int> X11HotKeys::unshiftedKeysymOfKey(quint32 keyCode) const {
    if (keyCode == 0 || keyCode > 255) {
        return std::nullopt;
    }
    const xcb_keysym_t keysym =
        xcb_key_symbols_get_keysym(keySymbols_, static_cast<xcb_keycode_t>(keyCode), 0);
    if (keysym == XCB_NO_SYMBOL) {
        return std::nullopt;
    }
    return static_cast<int>(keysym);
}

bool X11HotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) {
    Q_UNUSED(result);
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
        return onKey(event, type == XCB_KEY_PRESS);
    }
    // The toolkit reads these too: they are never taken out.
    if (type == XCB_MAPPING_NOTIFY) {
        if (reinterpret_cast<const xcb_mapping_notify_event_t*>(event)->request !=
            XCB_MAPPING_POINTER) {
            scheduleRenewal();
        }
    } else if (xkbEventBase_ != 0 && type == xkbEventBase_) {
        // The XKB event's own kind follows the response type.
        const std::uint8_t xkbType = reinterpret_cast<const std::uint8_t*>(event)[1];
        if (xkbType == xkbNewKeyboardNotify || xkbType == xkbMapNotify) {
            scheduleRenewal();
        }
    }
    return false;
}

bool X11HotKeys::onKey(const void* message, bool press) {
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    if (std::find(roots_.begin(), roots_.end(), key->event) == roots_.end()) {
        return false;  // a key in one of the program's own windows
    }
    const auto ours = [key](const Grab& grab) {
        return std::find(grab.keyCodes.begin(), grab.keyCodes.end(), key->detail) !=
               grab.keyCodes.end();
    };
    if (!press) {
        // Held back until the events read with this one are through: a press after it, or
        // the key still down then, is the key repeating.
        bool held = false;
        for (HeldKey& down : held_) {
            if (down.keyCode == key->detail) {
                down.released = true;
                held = true;
            }
        }
        if (held && !releasesScheduled_) {
            releasesScheduled_ = true;
            QMetaObject::invokeMethod(this, &X11HotKeys::passOnReleases, Qt::QueuedConnection);
        }
        return held || std::any_of(grabs_.begin(), grabs_.end(),
                                   [&](const auto& grab) { return ours(grab.second); });
    }
    const std::uint16_t state = key->state & modifierBits & ~(XCB_MOD_MASK_LOCK | numLockMask_);
    bool matched = false;
    for (const auto& [id, grab] : grabs_) {
        if (!ours(grab) || grab.modifiers != state) {
            continue;
        }
        matched = true;
        const auto down = std::find_if(held_.begin(), held_.end(),
                                       [id = id](const HeldKey& held) { return held.id == id; });
        if (down == held_.end()) {
            held_.push_back({id, key->detail, false});
            passOn(id, true);
        } else {
            down->released = false;  // the key repeats: it went down once
        }
    }
    return matched;
}

void X11HotKeys::passOn(int id, bool press) {
    // The actions open and close windows: they run once the toolkit is done with the event.
    QMetaObject::invokeMethod(
        this,
        [this, id, press] {
            if (press) {
                emit pressed(id);
            } else {
                emit released(id);
            }
        },
        Qt::QueuedConnection);
}

bool X11HotKeys::keyIsDown(std::uint8_t keyCode) const {
    Freed<xcb_query_keymap_reply_t> keymap{
        xcb_query_keymap_reply(connection_, xcb_query_keymap(connection_), nullptr)};
    return keymap.pointer != nullptr && (keymap.pointer->keys[keyCode / 8] >> (keyCode % 8)) & 1;
}

void X11HotKeys::passOnReleases() {
    releasesScheduled_ = false;
    for (auto down = held_.begin(); down != held_.end();) {
        if (down->released && keyIsDown(down->keyCode)) {
            down->released = false;  // repeating: its last release is still to come
        }
        if (down->released) {
            const int id = down->id;
            down = held_.erase(down);
            emit released(id);
        } else {
            ++down;
        }
    }
}

void X11HotKeys::scheduleRenewal() {
    if (renewalScheduled_) {
        return;
    }
    renewalScheduled_ = true;
    // One burst of mapping events, one renewal.
    QTimer::singleShot(0, this, [this] {
        renewalScheduled_ = false;
        xcb_key_symbols_free(keySymbols_);
        keySymbols_ = xcb_key_symbols_alloc(connection_);
        readModifierMapping();
        emit renewalNeeded();
    });
}
