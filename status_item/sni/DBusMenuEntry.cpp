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

// Keys whose Qt text is a symbol; hosts expect the X key names.
QString keyName(Qt::Key key) {
    static constexpr std::array<std::pair<Qt::Key, const char*>, 8> symbolNames{{
        {Qt::Key_Comma, "comma"},
        {Qt::Key_Period, "period"},
        {Qt::Key_Plus, "plus"},
        {Qt::Key_Minus, "minus"},
        {Qt::Key_Space, "space"},
        {Qt::Key_Slash, "slash"},
        {Qt::Key_Semicolon, "semicolon"},
        {Qt::Key_Equal, "equal"},
    }};
    for (const auto& [symbol, name] : symbolNames) {
        if (key == symbol) {
            return QString::fromLatin1(name);
        }
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

QVariantMap dbusMenuProperties(const QAction& action) {
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
    if (!action.shortcut().isEmpty()) {
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
