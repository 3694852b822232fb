#include "app/render/SymbolGlyphs.h"

#include <QFontInfo>
#include <QTextLayout>

#include <array>
#include <utility>

QString materialIconName(const QString& symbolName) {
    static const std::array<std::pair<const char*, const char*>, 17> table{{
        {"cpu", "memory"},
        {"memorychip", "developer_board"},
        {"arrow.up.arrow.down", "swap_vert"},
        {"rectangle.3.group", "view_module"},
        {"battery.75percent", "battery_std"},
        {"internaldrive", "storage"},
        {"thermometer.medium", "device_thermostat"},
        {"fan", "toys"},
        {"menubar.rectangle", "web_asset"},
        {"sidebar.left", "view_sidebar"},
        {"network", "lan"},
        {"list.number", "format_list_numbered"},
        {"bell.badge", "notification_important"},
        {"square.and.arrow.up", "ios_share"},
        {"clock", "schedule"},
        {"keyboard", "keyboard"},
        {"gear", "settings"},
    }};
    for (const auto& [symbol, icon] : table) {
        if (symbolName == QLatin1String(symbol)) {
            return QString::fromLatin1(icon);
        }
    }
    return {};
}

std::optional<QGlyphRun> symbolGlyph(const QString& symbolName, const QFont& symbolFont) {
    const QString icon = materialIconName(symbolName);
    if (icon.isEmpty() || QFontInfo(symbolFont).family() != symbolFont.family()) {
        return std::nullopt;
    }
    // The font maps each icon name to its glyph through a ligature: a name that shapes to
    // anything but one glyph is not in the font.
    QTextLayout layout(icon, symbolFont);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.size() != 1 || runs.front().glyphIndexes().size() != 1) {
        return std::nullopt;
    }
    return runs.front();
}
