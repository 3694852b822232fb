#include "status_item/ItemAnchor.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr int most = std::numeric_limits<int>::max();
constexpr int least = std::numeric_limits<int>::min();

const QRect laptop(0, 0, 1280, 800);
const QRect external(1280, 0, 1920, 1080);
const ScreenPlace bare{laptop, laptop};
const ScreenPlace bottomBar{laptop, QRect(0, 0, 1280, 776)};  // mate-panel's default
const ScreenPlace topBar{laptop, QRect(0, 30, 1280, 770)};    // waybar's default
const ScreenPlace secondScreen{external, external};

using Point = std::optional<QPoint>;
using Tray = std::optional<QRect>;

TEST(ItemAnchorTest, TakesTheHostsPointOnlyWhereTheItemCanBe) {
    const struct {
        const char* host;
        Point sent;
        QVector<ScreenPlace> screens;
        Point pointer;
        Tray tray;
        QPoint expected;
    } cases[] = {
        // mate-panel sends (0, 25) with the item ~800 px away, by the pointer.
        {"mate", QPoint(0, 25), {bottomBar}, QPoint(1250, 790), {}, {1250, 776 + 24}},
        // waybar sends a point relative to the item.
        {"waybar", QPoint(25, 12), {topBar}, QPoint(1200, 10), {}, {1200, 30}},
        // trayer and xfce4-panel send the click itself.
        {"xfce", QPoint(1200, 12), {bare}, QPoint(1203, 14), {}, {1200, 12}},
        {"in the bar's cut", QPoint(1200, 785), {bottomBar}, QPoint(1200, 790), {}, {1200, 800}},
        {"no pointer known", QPoint(1200, 12), {bare}, {}, {}, {1200, 12}},
        {"nothing sent", QPoint(0, 0), {bare}, QPoint(1210, 10), {}, {1210, 10}},
        {"nothing known", QPoint(0, 0), {bare}, {}, {}, {1279, 0}},
        {"nothing, bottom bar", QPoint(0, 0), {bottomBar}, {}, {}, {1279, 800}},
        {"nothing, top bar", {}, {topBar}, {}, {}, {1279, 30}},
        // The middle of a screen holds no panel; a pointer there is stale (XWayland).
        {"middle", QPoint(640, 400), {bare}, {}, {}, {1279, 0}},
        {"stale pointer", QPoint(0, 25), {bare}, QPoint(640, 400), {}, {1279, 0}},
        {"tray at the top", QPoint(0, 0), {bare}, {}, QRect(1100, 0, 180, 24), {1189, 24}},
        {"tray at the bottom",
         {},
         {bare},
         QPoint(640, 400),
         QRect(1100, 776, 180, 24),
         {1189, 800}},
        {"second screen", QPoint(3000, 10), {bare, secondScreen}, QPoint(2990, 12), {}, {3000, 10}},
        {"pointer elsewhere",
         QPoint(3000, 10),
         {bare, secondScreen},
         QPoint(100, 790),
         {},
         {100, 790}},
        {"between screens", QPoint(1280, 900), {bare, secondScreen}, {}, {}, {1280, 900}},
        {"below the laptop", QPoint(600, 900), {bare, secondScreen}, {}, {}, {1279, 0}},
        {"huge", QPoint(most, most), {bare}, QPoint(least, least), {}, {1279, 0}},
        {"huge negative", QPoint(least, 5), {bare}, {}, {}, {1279, 0}},
        {"huge, pointer near", QPoint(most, 5), {bare}, QPoint(most - 1, 5), {}, {1279, 0}},
        {"no screen", QPoint(25, 12), {}, {}, {}, {25, 12}},
    };
    for (const auto& c : cases) {
        ItemPlaceFacts facts;
        facts.hostPoint = c.sent;
        facts.screens = c.screens;
        facts.pointer = c.pointer;
        facts.tray = c.tray;
        EXPECT_EQ(itemAnchor(facts), c.expected) << c.host;
    }
}

// Through XWayland a Wayland compositor's bar leaves the screen's available area whole: the
// corner keeps clear of a bar of the item's height, unless the area tells where the bar is.
TEST(ItemAnchorTest, ACornerKeepsClearOfABarTheScreenDoesNotShow) {
    const struct {
        const char* screen;
        ScreenPlace place;
        QPoint expected;
    } cases[] = {
        {"bare", bare, {1279, 24 + 8}},
        {"top bar", topBar, {1279, 30}},
        {"bottom bar", bottomBar, {1279, 800}},
    };
    for (const auto& c : cases) {
        ItemPlaceFacts facts;
        facts.screens = {c.place};
        facts.barsHidden = true;
        EXPECT_EQ(itemAnchor(facts), c.expected) << c.screen;
    }
}

}  // namespace
