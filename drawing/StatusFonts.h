#pragma once

#include <QFont>
#include <QString>

// The fonts the status item is drawn with, in pixel sizes so that measuring and painting
// agree on every device.
struct StatusFonts {
    QFont value;        // small UI size − 1, medium weight (the desktop font is the small size)
    QFont label;        // small UI size − 1, regular weight
    QFont placeholder;  // small UI size, regular weight
    QFont symbol;       // the symbol font at the icon size

    // The desktop's small UI font in a family whose digits share one width (the desktop's own
    // family when it qualifies), at the given logical dots per inch.
    static StatusFonts forDesktop(double logicalDpi);
};

// Whether every digit 0-9 of `font` has the same advance, so changing values never shift text.
bool digitsShareOneWidth(const QFont& font);

// The family the Material Icons font is installed under.
QString symbolFontFamily();

// Makes sure the Material Icons font can be used: the one fontconfig knows, else the file
// Debian's fonts-material-design-icons-iconfont installs, loaded into the program. Checked
// once; false when neither is there (symbols then draw nothing).
bool loadSymbolFont();
