#pragma once

#include <Qt>

enum class ClickButton { left, right, middle };
enum class ClickAction { toggleCompactPanel, toggleDashboard, showMenu };

// What a click on the status item does: right or Ctrl+left shows the menu, Alt+left or a
// middle (secondary) click toggles the dashboard, a plain left click the compact panel.
ClickAction routeClick(ClickButton button, Qt::KeyboardModifiers modifiers);
