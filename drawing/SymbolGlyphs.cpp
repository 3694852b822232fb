#include "drawing/SymbolGlyphs.h"

#include <QFontInfo>
#include <QTextLayout>

#include <array>
#include <utility>

namespace {

// Grouped by where the names come from: the status item's metrics first, then the
// panels' sections, the dashboard's rows, the windows' controls and the help page.
constexpr std::array<std::pair<const char*, const char*>, 55> symbolTable{{
    {"cpu", "memory"},
    {"memorychip", "developer_board"},
    {"arrow.up.arrow.down", "swap_vert"},
    {"rectangle.3.group", "view_module"},
    {"battery.75percent", "battery_std"},
    {"internaldrive", "storage"},
    {"thermometer.medium", "device_thermostat"},
    {"fan", "toys"},
    // Battery levels and charging.
    {"battery.100.bolt", "battery_charging_full"},
    {"battery.100", "battery_full"},
    {"battery.75", "battery_5_bar"},
    {"battery.50", "battery_3_bar"},
    {"battery.25", "battery_2_bar"},
    {"battery.0", "battery_0_bar"},
    // Storage categories.
    {"app.badge", "apps"},
    {"hammer", "construction"},
    {"arrow.down.circle", "arrow_circle_down"},
    {"doc", "description"},
    {"menubar.dock.rectangle", "desktop_windows"},
    {"photo", "photo"},
    {"music.note", "music_note"},
    {"film", "movie"},
    {"building.columns", "account_balance"},
    // Network.
    {"arrow.up", "arrow_upward"},
    {"arrow.down", "arrow_downward"},
    {"wifi", "wifi"},
    {"cable.connector.horizontal", "settings_ethernet"},
    {"network", "lan"},
    {"globe", "public"},
    // Sensors, power and time.
    {"thermometer", "device_thermostat"},
    {"thermometer.low", "device_thermostat"},
    {"thermometer.high", "device_thermostat"},
    {"flame", "local_fire_department"},
    {"bolt", "bolt"},
    {"powerplug", "power"},
    {"clock", "schedule"},
    {"timer", "timer"},
    // Controls of the panels and windows.
    {"chevron.right", "chevron_right"},
    {"chevron.up", "expand_less"},
    {"chevron.down", "expand_more"},
    {"gearshape", "settings"},
    {"questionmark.circle", "help_outline"},
    {"power", "power_settings_new"},
    {"record.circle", "fiber_manual_record"},
    {"stop.circle", "stop_circle"},
    {"square.and.arrow.up", "ios_share"},
    {"folder", "folder"},
    {"doc.text", "article"},
    {"exclamationmark.triangle", "warning"},
    // The help page's topics.
    {"menubar.rectangle", "web_asset"},
    {"sidebar.left", "view_sidebar"},
    {"list.number", "format_list_numbered"},
    {"bell.badge", "notification_important"},
    {"keyboard", "keyboard"},
    {"gear", "settings"},
}};

}  // namespace

QString materialIconName(const QString& symbolName) {
    for (const auto& [symbol, icon] : symbolTable) {
        if (symbolName == QLatin1String(symbol)) {
            return QString::fromLatin1(icon);
        }
    }
    return {};
}

QStringList knownSymbolNames() {
    QStringList names;
    for (const auto& entry : symbolTable) {
        names.push_back(QString::fromLatin1(entry.first));
    }
    return names;
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
