#pragma once

#include <QString>

#include <optional>

// Modifier bits of `Shortcut::carbonModifiers`: the X core modifier bits of the usual keyboard
// mapping (Alt on Mod1, Super on Mod4). The X11 grab looks up which modifier the keyboard's
// mapping really gives Alt and Super, so a stored combination survives another mapping.
namespace shortcut_modifier {
constexpr int shift = 0x01;
constexpr int control = 0x04;
constexpr int alt = 0x08;
constexpr int super = 0x40;
constexpr int all = shift | control | alt | super;
}  // namespace shortcut_modifier

// A key combination, equal when both numbers are equal. On Linux `carbonKeyCode` holds the
// X keysym of the key as typed without Shift (XK_p = 0x70, XK_comma = 0x2c, XK_F5 = 0xffc2),
// so one combination means the same key on every keyboard layout that has it, and
// `carbonModifiers` a mask of the `shortcut_modifier` bits (Super+Shift = 0x41).
//
// It lives in the core because the settings file's load and import judge stored combinations
// by the same rule as the recorder that makes them.
struct Shortcut {
    int carbonKeyCode = 0;
    int carbonModifiers = 0;
    bool operator==(const Shortcut&) const = default;

    // Whether Ctrl, Alt or Super is held: a key with Shift alone or nothing is typing, not a
    // global shortcut, and grabbing it would take it from every other program.
    bool hasCommandModifier() const {
        return (carbonModifiers & (shortcut_modifier::control | shortcut_modifier::alt |
                                   shortcut_modifier::super)) != 0;
    }
};

// The stored form of a combination: the JSON object {"carbonKeyCode": keysym,
// "carbonModifiers": mask} as text. Decoding accepts only that object with two integral
// numbers: a keysym above 0 inside the keysym range and a mask of known bits.
QString encodeShortcut(const Shortcut& shortcut);
std::optional<Shortcut> decodeShortcut(const QString& text);
