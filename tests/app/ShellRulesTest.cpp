#include "app/shell/ClickRouting.h"
#include "app/shell/FacePlan.h"
#include "app/shell/OutsideClickRule.h"
#include "status_item/PanelPlacement.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(ClickRoutingTest, FollowsTheClickTable) {
    struct {
        ClickButton button;
        Qt::KeyboardModifiers modifiers;
        ClickAction expected;
    } cases[] = {
        {ClickButton::left, Qt::NoModifier, ClickAction::toggleCompactPanel},
        {ClickButton::left, Qt::ShiftModifier, ClickAction::toggleCompactPanel},
        {ClickButton::left, Qt::AltModifier, ClickAction::toggleDashboard},
        {ClickButton::left, Qt::ControlModifier, ClickAction::showMenu},
        {ClickButton::left, Qt::ControlModifier | Qt::AltModifier, ClickAction::showMenu},
        {ClickButton::right, Qt::NoModifier, ClickAction::showMenu},
        {ClickButton::right, Qt::AltModifier, ClickAction::showMenu},
        {ClickButton::middle, Qt::NoModifier, ClickAction::toggleDashboard},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(routeClick(c.button, c.modifiers), c.expected)
            << int(c.button) << " " << c.modifiers.toInt();
    }
}

TEST(FacePlanTest, ModeChoosesFacesAndNeverLeavesNone) {
    using M = StatusItemMode;
    struct {
        M mode;
        bool sniHost;
        bool xembedTray;
        bool sniUnseen;  // registered, but not read by the host yet
        FacePlan expected;
    } cases[] = {
        {M::automatic, true, true, false, {true, false, false}},
        {M::automatic, false, true, false, {false, true, false}},
        {M::automatic, false, false, false, {false, false, true}},
        {M::tray, true, false, false, {true, false, false}},
        {M::tray, false, false, false, {false, false, true}},
        {M::strip, true, true, false, {false, false, true}},
        {M::trayAndStrip, false, true, false, {false, true, true}},
        {M::trayAndStrip, false, false, false, {false, false, true}},
        // The item stays to be read later; the strip shows meanwhile.
        {M::automatic, true, false, true, {true, false, true}},
        {M::tray, true, true, true, {true, false, true}},
        {M::strip, true, false, true, {false, false, true}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(planFaces(c.mode, c.sniHost, c.xembedTray, c.sniUnseen), c.expected)
            << rawValue(c.mode).toStdString() << c.sniHost << c.xembedTray << c.sniUnseen;
    }
}

TEST(OutsideClickRuleTest, ClosesPanelAndTheDashboardOnlyOnItsScreen) {
    OutsideClickState state;
    state.compactPanelOpen = true;
    state.dashboardVisible = true;
    state.dashboardScreen = QRect(0, 0, 1920, 1080);
    state.ownAreas = {QRect(1800, 0, 60, 24), QRect(1640, 28, 320, 520)};
    struct {
        QPoint at;
        OutsideClickOutcome expected;
    } cases[] = {
        {{100, 100}, {true, true}},     // the desktop of the dashboard's screen
        {{2500, 100}, {true, false}},   // another screen
        {{1810, 10}, {false, false}},   // the status item itself
        {{1700, 300}, {false, false}},  // inside the panel
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outsideClickOutcome(c.at, leftButton, state), c.expected)
            << c.at.x() << "," << c.at.y();
    }
    state.dashboardVisible = false;
    EXPECT_EQ(outsideClickOutcome({100, 100}, leftButton, state),
              (OutsideClickOutcome{true, false}));
}

TEST(OutsideClickRuleTest, OnlyLeftAndRightPressesClose) {
    OutsideClickState state;
    state.compactPanelOpen = true;
    state.dashboardVisible = true;
    state.dashboardScreen = QRect(0, 0, 1920, 1080);
    struct {
        int button;
        OutsideClickOutcome expected;
    } cases[] = {
        {leftButton, {true, true}}, {rightButton, {true, true}}, {middleButton, {false, false}},
        {4, {false, false}},        {5, {false, false}},         {6, {false, false}},
        {7, {false, false}},        {8, {false, false}},         {0, {false, false}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outsideClickOutcome({100, 100}, c.button, state), c.expected) << c.button;
    }
}

TEST(PanelPlacementTest, HangsUnderTheItemCentredAndStaysOnScreen) {
    const QRect screen(0, 0, 1280, 800);
    struct {
        QPoint anchor;
        QPoint expected;
    } cases[] = {
        {{600, 30}, {440, 34}},              // centred, 4 below
        {{1270, 30}, {960, 34}},             // pushed left off the right edge
        {{20, 30}, {0, 34}},                 // pushed right off the left edge
        {{600, 800}, {440, 776 - 4 - 520}},  // a bottom tray: above the item
        {{600, -40}, {440, 0}},              // an item above the area: held at the top
        {{1279, 0}, {960, 4}},               // the screen's top right corner
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compactPanelOrigin(c.anchor, 24, screen), c.expected)
            << c.anchor.x() << "," << c.anchor.y();
    }
}

// Any int may come from a tray host or the settings file; the panel still lands on the screen.
TEST(PanelPlacementTest, ExtremeAnchorsStillPutThePanelOnTheScreen) {
    constexpr int most = std::numeric_limits<int>::max();
    constexpr int least = std::numeric_limits<int>::min();
    const QRect screen(1280, 0, 1280, 800);
    struct {
        QPoint anchor;
        int itemHeight;
        QPoint expected;
    } cases[] = {
        {{most, most}, 24, {2240, 280}},   // far right and below: above, at the corner
        {{least, least}, 24, {1280, 0}},   // far left and above: the top left
        {{least, most}, most, {1280, 0}},  // item heights at the ends of the range
        {{most, least}, least, {2240, 0}},
        {{-1, -1}, 24, {1280, 3}},  // just off the left: on the left edge
        {{1000000, 1000000}, 24, {2240, 280}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compactPanelOrigin(c.anchor, c.itemHeight, screen), c.expected)
            << c.anchor.x() << "," << c.anchor.y() << " " << c.itemHeight;
    }
}

TEST(PanelPlacementTest, WindowOffEveryScreenMovesOntoTheNearest) {
    constexpr int most = std::numeric_limits<int>::max();
    constexpr int least = std::numeric_limits<int>::min();
    const QVector<QRect> screens{QRect(0, 0, 1280, 800), QRect(1280, 0, 1920, 1080)};
    const QSize strip(60, 24);
    struct {
        QPoint topLeft;
        QPoint expected;
    } cases[] = {
        {{100, 100}, {100, 100}},      // on a screen: kept
        {{3300, 50}, {3140, 50}},      // its screen was unplugged: nearest edge
        {{-500, 900}, {0, 776}},       // far off: the nearest corner
        {{most, most}, {3140, 1056}},  // the ends of the int range: the nearest corners
        {{least, least}, {0, 0}},     {{least, most}, {0, 776}},
        {{most, least}, {3140, 0}},   {{-1, -1}, {0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clampOntoScreens(c.topLeft, strip, screens), c.expected)
            << c.topLeft.x() << "," << c.topLeft.y();
    }
    EXPECT_EQ(clampOntoScreens({3300, 50}, strip, {}), QPoint(3300, 50));
}

// The strip grows from 68 to 452 px as metrics are added: it grows away from the nearer border.
TEST(PanelPlacementTest, AResizedWindowKeepsTheEdgeNearerTheBorder) {
    constexpr int most = std::numeric_limits<int>::max();
    const QRect screen(0, 0, 1280, 800);
    struct {
        QRect before;
        QSize size;
        QPoint expected;
    } cases[] = {
        {{1204, 8, 68, 24}, {452, 24}, {820, 8}},    // top right: the right edge stays
        {{8, 8, 68, 24}, {452, 24}, {8, 8}},         // top left: the left edge stays
        {{820, 8, 452, 24}, {68, 24}, {1204, 8}},    // shrinking at the right
        {{620, 8, 68, 24}, {452, 24}, {236, 8}},     // just right of the middle
        {{500, 700, 68, 24}, {68, 90}, {500, 634}},  // taller near the bottom: upwards
        // Far right of the int range (a rectangle whose right edge still is an int).
        {{most - 100, 8, 68, 24}, {452, 24}, {most - 484, 8}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(resizedTopLeft(c.before, c.size, screen), c.expected)
            << c.before.x() << "," << c.before.y() << " " << c.size.width();
    }
}

}  // namespace
