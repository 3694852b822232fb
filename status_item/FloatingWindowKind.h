#pragma once

#include <Qt>

// The program's floating windows that stand where the program moves them.
enum class FloatingWindowKind {
    strip,         // never takes the keyboard
    compactPanel,  // takes the keyboard, for Escape
};

// The window flags of a floating window. A Wayland compositor running the program's X windows
// through XWayland centres a managed floating window (and gives it a minimum size), so there
// the window goes unmanaged: the compositor shows it where the program puts it. The compact
// panel is then an ordinary window rather than a utility one, which such a compositor hands
// the keyboard to when it is shown.
Qt::WindowFlags floatingWindowFlags(FloatingWindowKind kind, bool underWaylandCompositor);

// Whether the X server this program draws on is XWayland, a Wayland compositor's: it announces
// an XWAYLAND extension, or (older XWayland has none) the session names a Wayland display.
// Asked once; false off X11.
bool xServerUnderWaylandCompositor();
