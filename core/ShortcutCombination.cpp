#include "core/ShortcutCombination.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>

namespace {

const QString keyCodeKey = QStringLiteral("carbonKeyCode");
const QString modifiersKey = QStringLiteral("carbonModifiers");

// Keysyms are 29-bit numbers.
constexpr double keysymLimit = 0x1fffffff;

std::optional<int> integral(const QJsonValue& value, double low, double high) {
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (number != std::floor(number) || number < low || number > high) {
        return std::nullopt;
    }
    return static_cast<int>(number);
}

}  // namespace

QString encodeShortcut(const Shortcut& shortcut) {
    const QJsonObject object{{keyCodeKey, shortcut.carbonKeyCode},
                             {modifiersKey, shortcut.carbonModifiers}};
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

std::optional<Shortcut> decodeShortcut(const QString& text) {
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    if (!document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    const auto keysym = integral(object.value(keyCodeKey), 1, keysymLimit);
    const auto modifiers = integral(object.value(modifiersKey), 0, shortcut_modifier::all);
    if (!keysym || !modifiers || (*modifiers & ~shortcut_modifier::all) != 0) {
        return std::nullopt;
    }
    return Shortcut{*keysym, *modifiers};
}
