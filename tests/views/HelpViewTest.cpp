#include "views/help/HelpTopics.h"
#include "views/help/HelpView.h"
#include "views/kit/SymbolLabel.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(HelpViewTest, TheTopicsStandInOrderWithTheGroupHeadingBeforeTheSensors) {
    const HelpPage& page = helpPage();
    QStringList titles;
    for (const HelpTopic& topic : page.topics) {
        titles.append(topic.title);
        EXPECT_TRUE(SymbolLabel(topic.symbol).hasGlyph()) << topic.symbol.toStdString();
    }
    EXPECT_EQ(titles,
              (QStringList{"Menu Bar", "Compact View", "Dashboard", "CPU", "Memory", "Network",
                           "GPU", "Battery", "Disk", "Processes", "Hardware Sensors",
                           "Menu Bar Sensors", "Temperature Alerts", "CSV Export",
                           "Session Summary", "Keyboard Shortcuts", "Settings"}));
    EXPECT_EQ(page.topics[page.groupStartsAt].title, "Hardware Sensors");

    // The view reads them in the same order, each text also as its accessible name.
    HelpView view;
    QStringList read;
    for (const QLabel* label : view.textLabels()) {
        EXPECT_EQ(label->accessibleName(), label->text());
        read.append(label->text());
    }
    QStringList expected{page.title};
    for (int index = 0; index < page.topics.size(); ++index) {
        if (index == page.groupStartsAt) {
            expected.append(page.groupHeading);
        }
        expected << page.topics[index].title << page.topics[index].text;
    }
    EXPECT_EQ(read, expected);
    EXPECT_EQ(read[21], "Vantrel — Sensor Features");
}

TEST(HelpViewTest, ThePageWrapsAtTheWindowsWidthAndScrolls) {
    std::unique_ptr<QWidget> window(makeHelpWindow());
    EXPECT_EQ(window->windowTitle(), "Vantrel Help");
    EXPECT_EQ(window->size(), QSize(500, 600));
    auto* view = qobject_cast<HelpView*>(window.get());
    ASSERT_NE(view, nullptr);
    window->show();
    for (int width : {500, 320}) {
        window->resize(width, 600);
        QApplication::processEvents();
        const int viewportWidth = view->viewport()->width();
        ASSERT_LE(viewportWidth, width);
        const QLabel* sensors = nullptr;
        for (const QLabel* label : view->textLabels()) {
            const QRect area(label->mapTo(view->viewport(), QPoint()), label->size());
            EXPECT_LE(area.right(), viewportWidth) << width << ": " << label->text().toStdString();
            if (label->text().startsWith("Vantrel reads hardware sensors")) {
                sensors = label;
            }
        }
        ASSERT_NE(sensors, nullptr);
        // Thirteen lines as written; at this width the long ones wrap onto more.
        EXPECT_GT(sensors->height(), 14 * sensors->fontMetrics().lineSpacing()) << width;
        EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0);
        EXPECT_GT(view->verticalScrollBar()->maximum(), 0);
    }
}

}  // namespace
