#include "app/shell/ClickRouting.h"

ClickAction routeClick(ClickButton button, Qt::KeyboardModifiers modifiers) {
    if (button == ClickButton::right ||
        (button == ClickButton::left && modifiers.testFlag(Qt::ControlModifier))) {
        return ClickAction::showMenu;
    }
    if (button == ClickButton::middle || modifiers.testFlag(Qt::AltModifier)) {
        return ClickAction::toggleDashboard;
    }
    return ClickAction::toggleCompactPanel;
}
