#include "status_item/TrayIconFace.h"

#include <QToolTip>

#include <gtest/gtest.h>

namespace {

StatusPicture withToolTip(const QString& toolTip) {
    QImage glance(22, 22, QImage::Format_ARGB32);
    glance.fill(Qt::darkGreen);
    StatusPicture picture;
    picture.glance = glance;
    picture.toolTip = toolTip;
    return picture;
}

// The tooltip the tray shows while the pointer rests on the icon follows the figures.
TEST(TrayIconFaceTest, AShownToolTipTakesTheNewFigures) {
    TrayIconFace face;
    const QString first = QStringLiteral("Vantrel\nCPU 12%");
    face.show(withToolTip(first));
    QToolTip::showText(QPoint(40, 40), first);
    ASSERT_TRUE(QToolTip::isVisible());
    face.show(withToolTip(QStringLiteral("Vantrel\nCPU 48%")));
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Vantrel\nCPU 48%"));

    // Another window's tooltip is left as it is.
    QToolTip::showText(QPoint(40, 40), QStringLiteral("Refresh"));
    face.show(withToolTip(QStringLiteral("Vantrel\nCPU 50%")));
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Refresh"));
    QToolTip::hideText();
}

}  // namespace
