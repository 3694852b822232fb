#include "status_item/sni/DBusMenuEntry.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QMenu>

#include <array>
#include <utility>

QString dbusMenuLabel(const QString& qtText) {
    QString label;
    label.reserve(qtText.size());
    for (qsizetype i = 0; i < qtText.size(); ++i) {
        const QChar c = qtText.at(i);
        if (c == QLatin1Char('_')) {
            label += QStringLiteral("__");
        } else if (c == QLatin1Char('&')) {
            if (i + 1 < qtText.size() && qtText.at(i + 1) == QLatin1Char('&')) {
                label += QLatin1Char('&');
                ++i;
            } else if (i + 1 < qtText.size()) {
                label += QLatin1Char('_');
            }
        } else {
            label += c;
        }
    }
    return label;
}

namespace {

// GTK hosts read the key as a GDK key name ("Delete", "Page_Up", "comma"); Qt's own texts
// ("Del", "PgUp", ",") are unknown to them and leave the entry without its shortcut.
QString keyName(Qt::Key key) {
    static constexpr std::array<std::pair<Qt::Key, const char*>, 30> gdkNames{{
        {Qt::Key_Comma, "comma"},
        {Qt::Key_Period, "period"},
        {Qt::Key_Plus, "plus"},
        {Qt::Key_Minus, "minus"},
        {Qt::Key_Space, "space"},
        {Qt::Key_Slash, "slash"},
        {Qt::Key_Backslash, "backslash"},
        {Qt::Key_Semicolon, "semicolon"},
        {Qt::Key_Equal, "equal"},
        {Qt::Key_Apostrophe, "apostrophe"},
        {Qt::Key_QuoteLeft, "grave"},
        {Qt::Key_BracketLeft, "bracketleft"},
        {Qt::Key_BracketRight, "bracketright"},
        {Qt::Key_Escape, "Escape"},
        {Qt::Key_Tab, "Tab"},
        {Qt::Key_Backspace, "BackSpace"},
        {Qt::Key_Return, "Return"},
        {Qt::Key_Enter, "KP_Enter"},
        {Qt::Key_Insert, "Insert"},
        {Qt::Key_Delete, "Delete"},
        {Qt::Key_Pause, "Pause"},
        {Qt::Key_Print, "Print"},
        {Qt::Key_Home, "Home"},
        {Qt::Key_End, "End"},
        {Qt::Key_Left, "Left"},
        {Qt::Key_Up, "Up"},
        {Qt::Key_Right, "Right"},
        {Qt::Key_Down, "Down"},
        {Qt::Key_PageUp, "Page_Up"},
        {Qt::Key_PageDown, "Page_Down"},
    }};
    for (const auto& [named, name] : gdkNames) {
        if (key == named) {
            return QString::fromLatin1(name);
        }
    }
    // Letters are named in lower case (an upper-case name means the key with Shift); digits
    // and function keys ("F5") read the same in both.
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return QString(QChar(u'a' + (key - Qt::Key_A)));
    }
    return QKeySequence(key).toString(QKeySequence::PortableText);
}

}  // namespace

DBusMenuShortcut dbusMenuShortcut(const QKeySequence& sequence) {
    DBusMenuShortcut chords;
    for (int i = 0; i < sequence.count(); ++i) {
        const QKeyCombination combination = sequence[i];
        const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
        QStringList chord;
        if (modifiers & Qt::ControlModifier) {
            chord << QStringLiteral("Control");
        }
        if (modifiers & Qt::AltModifier) {
            chord << QStringLiteral("Alt");
        }
        if (modifiers & Qt::ShiftModifier) {
            chord << QStringLiteral("Shift");
        }
        if (modifiers & Qt::MetaModifier) {
            chord << QStringLiteral("Super");
        }
        chord << keyName(combination.key());
        chords << chord;
    }
    return chords;
}

QVariantMap dbusMenuProperties(const QAction& action, bool withShortcut) {
    QVariantMap properties;
    properties.insert(QStringLiteral("visible"), action.isVisible());
    if (action.isSeparator()) {
        properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
        return properties;
    }
    properties.insert(QStringLiteral("label"), dbusMenuLabel(action.text()));
    properties.insert(QStringLiteral("enabled"), action.isEnabled());
    if (action.isCheckable()) {
        const bool exclusive = action.actionGroup() && action.actionGroup()->isExclusive();
        properties.insert(QStringLiteral("toggle-type"),
                          exclusive ? QStringLiteral("radio") : QStringLiteral("checkmark"));
        properties.insert(QStringLiteral("toggle-state"), action.isChecked() ? 1 : 0);
    }
    if (withShortcut && !action.shortcut().isEmpty()) {
        properties.insert(QStringLiteral("shortcut"),
                          QVariant::fromValue(dbusMenuShortcut(action.shortcut())));
    }
    if (!action.icon().name().isEmpty()) {
        properties.insert(QStringLiteral("icon-name"), action.icon().name());
    }
    if (action.menu()) {
        properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    }
    return properties;
}
