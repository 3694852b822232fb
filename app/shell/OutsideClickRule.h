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

// Mouse buttons as the X server numbers them: 1 left, 2 middle, 3 right, 4 to 7 the wheel.
inline constexpr int leftButton = 1;
inline constexpr int middleButton = 2;
inline constexpr int rightButton = 3;

// A left or right press outside the program closes the compact panel, and the dashboard too
// when the press is on the dashboard's screen; a press on the program's own windows, a middle
// press or a wheel turn closes nothing.
OutsideClickOutcome outsideClickOutcome(QPoint globalPos, int button,
                                        const OutsideClickState& state);
