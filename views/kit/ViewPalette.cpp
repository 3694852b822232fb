#include "views/kit/ViewPalette.h"

#include "core/SettingsTable.h"

#include <QWidget>

#include <algorithm>
#include <array>

namespace {

QColor rgb(double red, double green, double blue) {
    return QColor::fromRgbF(static_cast<float>(red), static_cast<float>(green),
                            static_cast<float>(blue));
}

// Every accent colour once, in the Settings window's order, with its place among the
// dashboard's dots.
struct AccentEntry {
    const char* name;
    const char* label;
    double red;
    double green;
    double blue;
    int dashboardPlace;
};

constexpr std::array<AccentEntry, 8> accentTable{{
    {"purple", "Purple", 0.545, 0.361, 0.965, 2},
    {"blue", "Blue", 0.294, 0.478, 0.965, 3},
    {"teal", "Teal", 0.247, 0.714, 0.812, 1},
    {"green", "Green", 0.302, 0.753, 0.62, 0},
    {"yellow", "Yellow", 0.91, 0.788, 0.278, 5},
    {"orange", "Orange", 0.918, 0.545, 0.255, 4},
    {"pink", "Pink", 0.918, 0.357, 0.545, 6},
    {"red", "Red", 0.89, 0.298, 0.298, 7},
}};

}  // namespace

QColor ViewPalette::dashboardBackground() {
    return rgb(0.04, 0.038, 0.06);
}

QColor ViewPalette::windowBackground() {
    return QColor(28, 28, 32);
}

QColor ViewPalette::cardBackground() {
    // Translucent white, so a card lifts off both the near-black and the grey background.
    return QColor(255, 255, 255, 15);
}

QColor ViewPalette::primaryText() {
    return QColor(255, 255, 255, 235);
}

QColor ViewPalette::secondaryText() {
    return QColor(235, 235, 245, 153);
}

QColor ViewPalette::green() {
    return QColor(48, 209, 88);
}

QColor ViewPalette::yellow() {
    return QColor(255, 214, 10);
}

QColor ViewPalette::orange() {
    return QColor(255, 159, 10);
}

QColor ViewPalette::red() {
    return QColor(255, 69, 58);
}

QColor ViewPalette::blue() {
    return QColor(10, 132, 255);
}

QColor ViewPalette::purple() {
    return QColor(191, 90, 242);
}

QColor ViewPalette::grey() {
    return QColor(142, 142, 147);
}

QColor ViewPalette::cyan() {
    return QColor(100, 210, 255);
}

QColor ViewPalette::withOpacity(QColor color, double opacity) {
    color.setAlphaF(static_cast<float>(color.alphaF() * std::clamp(opacity, 0.0, 1.0)));
    return color;
}

QPalette ViewPalette::darkPalette() {
    QPalette palette;
    const QColor text = primaryText();
    const QColor dimText = secondaryText();
    const QColor control(58, 58, 62);
    palette.setColor(QPalette::Window, windowBackground());
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, QColor(20, 20, 24));
    palette.setColor(QPalette::AlternateBase, QColor(36, 36, 40));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::PlaceholderText, dimText);
    palette.setColor(QPalette::Button, control);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(44, 44, 48));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Highlight, blue());
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, blue());
    palette.setColor(QPalette::Light, QColor(80, 80, 86));
    palette.setColor(QPalette::Midlight, QColor(66, 66, 72));
    palette.setColor(QPalette::Mid, QColor(48, 48, 52));
    palette.setColor(QPalette::Dark, QColor(16, 16, 18));
    palette.setColor(QPalette::Shadow, Qt::black);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, withOpacity(text, 0.4));
    }
    return palette;
}

void ViewPalette::applyDarkLook(QWidget& window, const QColor& background) {
    QPalette palette = darkPalette();
    palette.setColor(QPalette::Window, background);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
}

QColor accentColor(const AppSettings& settings) {
    return accentColorNamed(settings.graphColor());
}

QColor accentColorNamed(const QString& name) {
    const QVector<AccentOption> choices = accentChoices();
    for (const AccentOption& option : choices) {
        if (option.name == name) {
            return option.color;
        }
    }
    const QString fallback = declarationOf(Setting::graphColor).fallback.toString();
    for (const AccentOption& option : choices) {
        if (option.name == fallback) {
            return option.color;
        }
    }
    return choices.front().color;
}

QVector<AccentOption> accentChoices() {
    QVector<AccentOption> choices;
    for (const AccentEntry& entry : accentTable) {
        choices.push_back({QString::fromLatin1(entry.name), QString::fromLatin1(entry.label),
                           rgb(entry.red, entry.green, entry.blue)});
    }
    return choices;
}

QVector<AccentOption> accentOptions() {
    QVector<AccentOption> options = accentChoices();
    QVector<AccentOption> dots(options.size());
    for (std::size_t i = 0; i < accentTable.size(); ++i) {
        dots[accentTable[i].dashboardPlace] = options[static_cast<qsizetype>(i)];
    }
    return dots;
}
