#pragma once

#include <QPointer>
#include <QWidget>

// The shell's windows: each slot holds its window exactly while the window is open.
struct WindowSlots {
    QPointer<QWidget> compactPanel;
    QPointer<QWidget> dashboardWindow;
    QPointer<QWidget> settingsWindow;
    QPointer<QWidget> helpWindow;
    QPointer<QWidget> reportWindow;

    // While an ordinary window (Settings, Help, Session Report) is open the program behaves
    // as a regular application; otherwise it lives in its status item alone.
    bool ordinaryWindowOpen() const {
        return !settingsWindow.isNull() || !helpWindow.isNull() || !reportWindow.isNull();
    }
};
