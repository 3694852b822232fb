#include "app/shell/OutsideClickRule.h"

#include <algorithm>

OutsideClickOutcome outsideClickOutcome(QPoint globalPos, const OutsideClickState& state) {
    const bool onOwnWindow =
        std::any_of(state.ownAreas.begin(), state.ownAreas.end(),
                    [&](const QRect& area) { return area.contains(globalPos); });
    if (onOwnWindow) {
        return {};
    }
    return {state.compactPanelOpen,
            state.dashboardVisible && state.dashboardScreen.contains(globalPos)};
}
