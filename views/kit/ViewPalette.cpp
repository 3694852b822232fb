#include "views/kit/ViewPalette.h"

#include <QWidget>

#include <algorithm>
#include <array>

namespace {

QColor rgb(double red, double green, double blue) {
    return QColor::fromRgbF(static_cast<float>(red), static_cast<float>(green),
                            static_cast<float>(blue));
}

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

QColor toColor(AccentColor color) {
    return rgb(color.red, color.green, color.blue);
}

QColor accentColor(const AppSettings& settings) {
    return toColor(settings.accentColor());
}

QVector<AccentOption> accentOptions() {
    static const std::array<const char*, 8> order{"green",  "teal",   "purple", "blue",
                                                  "orange", "yellow", "pink",   "red"};
    QVector<AccentOption> options;
    for (const char* name : order) {
        const QString text = QString::fromLatin1(name);
        options.push_back({text, toColor(accentColorNamed(text))});
    }
    return options;
}
