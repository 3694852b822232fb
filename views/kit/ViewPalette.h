#pragma once

#include "core/AppSettings.h"

#include <QColor>
#include <QPalette>
#include <QString>
#include <QVector>

class QWidget;

// The program's own dark look, the same whatever the desktop theme: the panels and windows
// take every colour from here.
struct ViewPalette {
    // Window backgrounds: the dashboard's near-black, the compact panel's and the other
    // windows' dark grey.
    static QColor dashboardBackground();  // RGB(0.04, 0.038, 0.06)
    static QColor windowBackground();
    // The background of a card or control on either window background.
    static QColor cardBackground();

    static QColor primaryText();    // values and titles
    static QColor secondaryText();  // labels, captions, tracks (at their own opacity)

    // The system colours the sections use for states and series.
    static QColor green();
    static QColor yellow();
    static QColor orange();
    static QColor red();
    static QColor blue();
    static QColor purple();
    static QColor grey();
    static QColor cyan();

    // `color` with its opacity multiplied by `opacity` (0…1).
    static QColor withOpacity(QColor color, double opacity);

    // A QPalette of these colours for the standard controls (buttons, check boxes, scroll
    // bars, text fields) inside the program's windows.
    static QPalette darkPalette();
    // Gives `window` the dark palette and paints its background in `background`.
    static void applyDarkLook(QWidget& window, const QColor& background);
};

// The accent colour of the settings' graphColor.
QColor accentColor(const AppSettings& settings);
// The accent colour a graphColor name stands for; names match exactly (case-sensitive), and
// any other name gives the colour of the store's default name.
QColor accentColorNamed(const QString& name);

// One accent colour the user can pick: its stored name, its name in the Settings window and
// its colour.
struct AccentOption {
    QString name;
    QString label;
    QColor color;
};
// Every accent colour, in the Settings window's order: purple, blue, teal, green, yellow,
// orange, pink, red.
QVector<AccentOption> accentChoices();
// The dashboard's row of accent dots, in its order: green, teal, purple, blue, orange,
// yellow, pink, red.
QVector<AccentOption> accentOptions();
