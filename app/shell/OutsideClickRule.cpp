#include "app/shell/OutsideClickRule.h"

#include <algorithm>

OutsideClickOutcome outsideClickOutcome(QPoint globalPos, int button,
                                        const OutsideClickState& state) {
    if (button != leftButton && button != rightButton) {
        return {};
    }
    const bool onOwnWindow =
        std::any_of(state.ownAreas.begin(), state.ownAreas.end(),
                    [&](const QRect& area) { return area.contains(globalPos); });
    if (onOwnWindow) {
        return {};
    }
    return {state.compactPanelOpen,
            state.dashboardVisible && state.dashboardScreen.contains(globalPos)};
}
