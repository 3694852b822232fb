#pragma once

#include <QPoint>
#include <QRect>
#include <QVector>

#include <optional>

// What the shell knows when a mouse button goes down anywhere on the desktop.
struct OutsideClickState {
    bool compactPanelOpen = false;
    bool dashboardVisible = false;
    QRect dashboardScreen;    // the dashboard's screen, else the primary screen
    QVector<QRect> ownAreas;  // the program's own windows and status item: not outside
};

struct OutsideClickOutcome {
    bool closeCompactPanel = false;
    bool closeDashboard = false;
    bool operator==(const OutsideClickOutcome&) const = default;
};

// A press outside the program closes the compact panel, and the dashboard too when the
// press is on the dashboard's screen; a press on the program's own windows closes nothing.
OutsideClickOutcome outsideClickOutcome(QPoint globalPos, const OutsideClickState& state);
