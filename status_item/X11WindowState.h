#pragma once

class QWidget;

// Asks the window manager to keep `window` out of the taskbar and the pager. Call it before
// the window is first shown; on anything but X11 it does nothing.
void keepOutOfTaskbarAndPager(QWidget* window);

// Whether a compositing manager runs on the X server, so that a window's transparent pixels
// show what lies beneath; false on anything but X11.
bool compositingManagerRuns();
