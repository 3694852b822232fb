#include "providers/WifiName.h"

namespace {

constexpr qsizetype maximumSsidBytes = 32;

// Embeddings, overrides and isolates reorder the text around them.
bool isDirectionControl(char16_t unit) {
    return (unit >= 0x202A && unit <= 0x202E) || (unit >= 0x2066 && unit <= 0x2069);
}

}  // namespace

QString wifiNameFromSsid(const QByteArray& ssid) {
    const QString decoded = QString::fromUtf8(ssid.left(maximumSsidBytes));
    QString shown;
    shown.reserve(decoded.size());
    for (const QChar character : decoded) {
        if (character.category() == QChar::Other_Control ||
            isDirectionControl(character.unicode())) {
            continue;
        }
        shown.append(character);
    }
    return shown;
}
