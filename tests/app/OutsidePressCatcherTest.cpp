#include "app/shell/OutsidePressCatcher.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(OutsidePressCatcherTest, OnlyLeftAndRightPressesCount) {
    struct {
        Qt::MouseButton button;
        int presses;
    } cases[] = {
        {Qt::LeftButton, 1},
        {Qt::RightButton, 1},
        {Qt::MiddleButton, 0},
        {Qt::BackButton, 0},
    };
    QWidget panel;
    OutsidePressCatcher catcher;
    panel.show();
    catcher.coverWhileShown(panel);
    for (const auto& c : cases) {
        QSignalSpy pressed(&catcher, &OutsidePressCatcher::pressed);
        QTest::mousePress(&catcher, c.button, Qt::NoModifier, QPoint(40, 30));
        EXPECT_EQ(pressed.count(), c.presses) << c.button;
    }
}

// However the panel goes, the clear window over the desktop goes with it: left behind, it
// would take every click.
TEST(OutsidePressCatcherTest, GoesWithTheCoveredWindow) {
    enum class Going { hidden, closed, destroyed };
    for (const Going going : {Going::hidden, Going::closed, Going::destroyed}) {
        auto panel = std::make_unique<QWidget>();
        OutsidePressCatcher catcher;
        panel->show();
        catcher.coverWhileShown(*panel);
        ASSERT_TRUE(catcher.isVisible());
        if (going == Going::hidden) {
            panel->hide();
        } else if (going == Going::closed) {
            panel->close();
        } else {
            panel.reset();
        }
        EXPECT_FALSE(catcher.isVisible()) << int(going);
    }
}

}  // namespace
