#include "core/AppSettings.h"
#include "core/SettingsReader.h"
#include "menubar/MenuBarItemCodec.h"
#include "menubar/MenuBarItemConfig.h"
#include "menubar/MenuBarItemList.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

using enum MenuBarMetric;
using enum MetricDisplayMode;
using Items = QVector<MenuBarItemConfig>;

// Stored settings given as one JSON object text.
class JsonSettings final : public SettingsReader {
public:
    explicit JsonSettings(const char* json)
        : object_(QJsonDocument::fromJson(QByteArray(json)).object()) {}
    std::optional<QJsonValue> value(const QString& key) const override {
        return object_.contains(key) ? std::optional(object_.value(key)) : std::nullopt;
    }

private:
    QJsonObject object_;
};

TEST(MenuBarMetricTest, StoredNamesReadBackAndOthersAreRejected) {
    for (const auto metric : allMenuBarMetrics) {
        EXPECT_EQ(menuBarMetricFromRawValue(rawValue(metric)), metric);
    }
    for (const auto mode : allMetricDisplayModes) {
        EXPECT_EQ(metricDisplayModeFromRawValue(rawValue(mode)), mode);
    }
    // The names settings files already hold.
    for (const char* stored :
         {"cpu", "ram", "network", "gpu", "battery", "disk", "cpuTemp", "gpuTemp", "fanSpeed"}) {
        EXPECT_TRUE(menuBarMetricFromRawValue(QLatin1String(stored))) << stored;
    }
    for (const char* stored : {"textOnly", "graphOnly", "graphAndText", "iconAndText"}) {
        EXPECT_TRUE(metricDisplayModeFromRawValue(QLatin1String(stored))) << stored;
    }
    for (const char* unknown : {"CPU", "foo", "", "cpu "}) {
        EXPECT_FALSE(menuBarMetricFromRawValue(QLatin1String(unknown))) << unknown;
    }
    EXPECT_FALSE(metricDisplayModeFromRawValue(QStringLiteral("TextOnly")));
}

TEST(MenuBarItemCodecTest, EncodesCompactlyWithExactlyTheThreeKeys) {
    const auto text = encodeMenuBarItemsText({{fanSpeed, false, iconAndText}});
    EXPECT_EQ(
        QJsonDocument::fromJson(text).array()[0].toObject(),
        (QJsonObject{{"metric", "fanSpeed"}, {"enabled", false}, {"displayMode", "iconAndText"}}));
    EXPECT_FALSE(text.contains(' ') || text.contains('\n'));
}

TEST(MenuBarItemCodecTest, RoundTripsEveryMetricAndModeInAnyKeyOrder) {
    Items items;
    for (std::size_t i = 0; i < allMenuBarMetrics.size(); ++i) {
        // Reverse order, alternating switches, every mode.
        items.append({allMenuBarMetrics[allMenuBarMetrics.size() - 1 - i], i % 2 == 0,
                      allMetricDisplayModes[i % allMetricDisplayModes.size()]});
    }
    EXPECT_EQ(decodeMenuBarItemsText(encodeMenuBarItemsText(items)), items);
    EXPECT_EQ(decodeMenuBarItems(encodeMenuBarItems(items)), items);
    EXPECT_EQ(decodeMenuBarItemsText(
                  R"([{"displayMode":"graphOnly","enabled":true,"metric":"disk","note":1}])"),
              (Items{{disk, true, graphOnly}}));
}

TEST(MenuBarItemCodecTest, AnyFaultFailsTheWholeList) {
    const char* cases[] = {
        R"([{"metric":"cpu","enabled":true,"displayMode":"textOnly"},)"
        R"({"metric":"foo","enabled":true,"displayMode":"textOnly"}])",
        R"([{"metric":"cpu","enabled":true,"displayMode":"sparkline"}])",
        R"([{"metric":"cpu","displayMode":"textOnly"}])",
        R"([{"metric":"cpu","enabled":"true","displayMode":"textOnly"}])",
        R"([{"metric":0,"enabled":true,"displayMode":"textOnly"}])",
        R"([{"metric":"cpu","enabled":true,"displayMode":"textOnly"}, "ram"])",
        R"({"metric":"cpu","enabled":true,"displayMode":"textOnly"})",
        R"(not json)",
        // The metric identifies a row, so it may appear once only.
        R"([{"metric":"ram","enabled":true,"displayMode":"textOnly"},)"
        R"({"metric":"ram","enabled":false,"displayMode":"graphOnly"}])",
    };
    for (const char* text : cases) {
        EXPECT_FALSE(decodeMenuBarItemsText(QByteArray(text)).has_value()) << text;
    }
    EXPECT_FALSE(decodeMenuBarItems(QJsonValue(QStringLiteral("[]"))).has_value());
}

Items legacyList(bool cpuOn, bool ramOn) {
    return {{cpu, cpuOn, textOnly}, {ram, ramOn, textOnly},        {network, false, textOnly},
            {gpu, false, textOnly}, {battery, false, iconAndText}, {disk, false, textOnly}};
}

TEST(MenuBarItemLoadTest, LoadsStoredListsAndFallsBackToTheLegacyList) {
    const struct {
        const char* stored;
        Items expected;
    } cases[] = {
        {"{}", legacyList(true, false)},
        {R"({"showCPUInMenuBar":false,"showRAMInMenuBar":true})", legacyList(false, true)},
        {R"({"showCPUInMenuBar":0,"showRAMInMenuBar":"yes"})", legacyList(true, false)},
        {R"({"menuBarItemConfigs":[{"metric":"disk","enabled":true,"displayMode":"graphOnly"}]})",
         {{disk, true, graphOnly},
          {cpu, false, textOnly},
          {ram, false, textOnly},
          {network, false, textOnly},
          {gpu, false, textOnly},
          {battery, false, textOnly},
          {cpuTemp, false, textOnly},
          {gpuTemp, false, textOnly},
          {fanSpeed, false, textOnly}}},
        // A faulty stored list falls back to the legacy switches.
        {R"({"showRAMInMenuBar":true,"menuBarItemConfigs":[
             {"metric":"foo","enabled":true,"displayMode":"textOnly"}]})",
         legacyList(true, true)},
        {R"({"menuBarItemConfigs":"[]"})", legacyList(true, false)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(menubar::load(readStoredMenuBarSettings(JsonSettings(c.stored))), c.expected)
            << c.stored;
    }
}

TEST(MenuBarItemEditTest, EditsAddressOneRowAndIgnoreRowsOutsideTheList) {
    const Items three{{cpu, true, textOnly}, {ram, false, textOnly}, {gpu, true, graphOnly}};
    const struct {
        const char* name;
        bool (*edit)(Items&);
        Items expected;  // empty: unchanged
    } cases[] = {
        {"move first up", [](Items& l) { return menubar::moveUp(l, 0); }, {}},
        {"move last down", [](Items& l) { return menubar::moveDown(l, 2); }, {}},
        {"move up past the end", [](Items& l) { return menubar::moveUp(l, 3); }, {}},
        {"move down before the start", [](Items& l) { return menubar::moveDown(l, -1); }, {}},
        {"enable outside", [](Items& l) { return menubar::setEnabled(l, 3, true); }, {}},
        {"mode outside", [](Items& l) { return menubar::setDisplayMode(l, -1, iconAndText); }, {}},
        {"move last up",
         [](Items& l) { return menubar::moveUp(l, 2); },
         {{cpu, true, textOnly}, {gpu, true, graphOnly}, {ram, false, textOnly}}},
        {"move first down",
         [](Items& l) { return menubar::moveDown(l, 0); },
         {{ram, false, textOnly}, {cpu, true, textOnly}, {gpu, true, graphOnly}}},
        {"enable keeps the place",
         [](Items& l) { return menubar::setEnabled(l, 1, true); },
         {{cpu, true, textOnly}, {ram, true, textOnly}, {gpu, true, graphOnly}}},
        {"mode keeps the place",
         [](Items& l) { return menubar::setDisplayMode(l, 2, graphAndText); },
         {{cpu, true, textOnly}, {ram, false, textOnly}, {gpu, true, graphAndText}}},
    };
    for (const auto& c : cases) {
        auto items = three;
        EXPECT_EQ(c.edit(items), !c.expected.isEmpty()) << c.name;
        EXPECT_EQ(items, c.expected.isEmpty() ? three : c.expected) << c.name;
    }
    Items empty;
    EXPECT_FALSE(menubar::moveDown(empty, 0));
    EXPECT_EQ(menubar::withoutRepeatedMetrics(
                  {{cpu, true, textOnly}, {ram, true, graphOnly}, {cpu, false, iconAndText}}),
              (Items{{cpu, true, textOnly}, {ram, true, graphOnly}}));
}

}  // namespace
