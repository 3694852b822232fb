#pragma once

#include <QColor>
#include <QFont>

// The session report's look in its two forms: dark in the window, light on paper.
struct ReportStyle {
    bool light = false;
    QColor background;
    QColor cardFill;
    QColor cardOutline;
    double cardOutlineWidth = 0;  // 0: the thinnest line the device draws
    QColor secondaryText;         // card titles, row labels
    QColor primaryText;           // values, the date range, the summary
    QColor green;                 // the power graph, "No thermal throttling detected"
    QColor cyan;                  // the fan graph

    static ReportStyle forMode(bool light);
};

// The report's accent: the "SESSION REPORT" title, the CPU graph, the export button.
QColor reportAccent();

// Fonts of the report, sized in pixels so that the PDF (one pixel to a point) holds the
// layout the window shows.
QFont reportFont(int pixelSize, QFont::Weight weight = QFont::Normal, bool monospaced = false);
