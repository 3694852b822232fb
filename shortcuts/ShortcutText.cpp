#include "shortcuts/ShortcutText.h"

#include <QStringList>

#include <xkbcommon/xkbcommon.h>

#include <array>
#include <utility>

namespace {

// In the order the text form lists them.
constexpr std::array<std::pair<int, const char*>, 4> modifierNames{{
    {shortcut_modifier::super, "Super"},
    {shortcut_modifier::control, "Ctrl"},
    {shortcut_modifier::alt, "Alt"},
    {shortcut_modifier::shift, "Shift"},
}};

}  // namespace

QString keysymName(int keysym) {
    std::array<char, 64> name{};
    const int length =
        xkb_keysym_get_name(static_cast<xkb_keysym_t>(keysym), name.data(), name.size());
    if (length <= 0) {
        return {};
    }
    return QString::fromLatin1(name.data());
}

QString keyText(int keysym) {
    QString name = keysymName(keysym);
    if (!name.isEmpty()) {
        name[0] = name[0].toUpper();
    }
    return name;
}

QString shortcutText(const Shortcut& shortcut) {
    QStringList parts;
    for (const auto& [bit, name] : modifierNames) {
        if ((shortcut.carbonModifiers & bit) != 0) {
            parts.append(QLatin1String(name));
        }
    }
    parts.append(keyText(shortcut.carbonKeyCode));
    return parts.join(QLatin1Char('+'));
}

int unshiftedKeysym(int keysym) {
    return static_cast<int>(xkb_keysym_to_lower(static_cast<xkb_keysym_t>(keysym)));
}

std::optional<Shortcut> shortcutFromText(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('+'));
    Shortcut shortcut;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        const QString part = parts[i].trimmed();
        bool known = false;
        for (const auto& [bit, name] : modifierNames) {
            if (part.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
                shortcut.carbonModifiers |= bit;
                known = true;
            }
        }
        if (!known) {
            return std::nullopt;
        }
    }
    const QByteArray key = parts.last().trimmed().toLatin1();
    if (key.isEmpty()) {
        return std::nullopt;
    }
    const xkb_keysym_t keysym = xkb_keysym_from_name(key.constData(), XKB_KEYSYM_CASE_INSENSITIVE);
    if (keysym == XKB_KEY_NoSymbol) {
        return std::nullopt;
    }
    shortcut.carbonKeyCode = unshiftedKeysym(static_cast<int>(keysym));
    return shortcut;
}
