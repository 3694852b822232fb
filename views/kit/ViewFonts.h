#pragma once

#include <QFont>

// The text styles of the panels and windows. Sizes are pixels at 96 dots per inch, scaled by
// the desktop's font DPI; on a scaled screen Qt multiplies them by the device pixel ratio, so
// text keeps its place in the fixed-size panels at 100 % and 200 %.
struct ViewFonts {
    QFont headline;      // section and card titles, the big values beside them
    QFont subheadline;   // rates and secondary figures
    QFont body;          // rows of the windows
    QFont caption;       // row labels and values, buttons of the footers
    QFont smallCaption;  // per-core labels and figures, gauge captions

    // The styles for a desktop of `logicalDpi` dots per inch (96 is 100 %).
    static ViewFonts forDpi(double logicalDpi);
    // The styles for the primary screen, made once; what the pieces use by default.
    static const ViewFonts& shared();

    // `font` in a family whose digits share one width, so changing figures never shift.
    static QFont monospacedDigits(const QFont& font);
    // The Material Icons font at `pixelSize`, for SymbolLabel.
    static QFont symbol(int pixelSize);
};
