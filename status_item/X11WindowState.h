#pragma once

class QWidget;

// Asks the window manager to keep `window` out of the taskbar and the pager. Call it before
// the window is first shown; on anything but X11 it does nothing.
void keepOutOfTaskbarAndPager(QWidget* window);
