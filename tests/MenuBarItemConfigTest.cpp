#include "core/AppSettings.h"
#include "core/SettingsReader.h"
#include "menubar/MenuBarItemCodec.h"
#include "menubar/MenuBarItemConfig.h"
#include "menubar/MenuBarItemList.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <initializer_list>

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
        if (!object_.contains(key)) {
            return std::nullopt;
        }
        return object_.value(key);
    }

private:
    QJsonObject object_;
};

TEST(MenuBarMetricTest, TextsOfEveryMetric) {
    struct Row {
        MenuBarMetric metric;
        const char* raw;
        const char* label;
        const char* symbol;
    };
    const Row rows[] = {
        {cpu, "cpu", "CPU", "cpu"},
        {ram, "ram", "RAM", "memorychip"},
        {network, "network", "Network", "arrow.up.arrow.down"},
        {gpu, "gpu", "GPU", "rectangle.3.group"},
        {battery, "battery", "Battery", "battery.75percent"},
        {disk, "disk", "Disk", "internaldrive"},
        {cpuTemp, "cpuTemp", "CPU Temp", "thermometer.medium"},
        {gpuTemp, "gpuTemp", "GPU Temp", "thermometer.medium"},
        {fanSpeed, "fanSpeed", "Fan Speed", "fan"},
    };
    ASSERT_EQ(std::size(rows), allMenuBarMetrics.size());
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const auto& row = rows[i];
        EXPECT_EQ(allMenuBarMetrics[i], row.metric) << "declared order at " << i;
        EXPECT_EQ(rawValue(row.metric), QLatin1String(row.raw));
        EXPECT_EQ(settingsLabel(row.metric), QLatin1String(row.label));
        EXPECT_EQ(symbolName(row.metric), QLatin1String(row.symbol));
        EXPECT_EQ(menuBarMetricFromRawValue(QLatin1String(row.raw)), row.metric);
        EXPECT_EQ((MenuBarItemConfig{row.metric, true, textOnly}).id(), QLatin1String(row.raw));
    }
    for (const char* unknown : {"CPU", "foo", "", "cpu "}) {
        EXPECT_FALSE(menuBarMetricFromRawValue(QLatin1String(unknown))) << unknown;
    }
}

TEST(MetricDisplayModeTest, TextsOfEveryMode) {
    struct Row {
        MetricDisplayMode mode;
        const char* raw;
        const char* picker;
    };
    const Row rows[] = {
        {textOnly, "textOnly", "Text"},
        {graphOnly, "graphOnly", "Graph"},
        {graphAndText, "graphAndText", "G+T"},
        {iconAndText, "iconAndText", "I+T"},
    };
    ASSERT_EQ(std::size(rows), allMetricDisplayModes.size());
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(allMetricDisplayModes[i], rows[i].mode);
        EXPECT_EQ(rawValue(rows[i].mode), QLatin1String(rows[i].raw));
        EXPECT_EQ(pickerLabel(rows[i].mode), QLatin1String(rows[i].picker));
        EXPECT_EQ(metricDisplayModeFromRawValue(QLatin1String(rows[i].raw)), rows[i].mode);
    }
    EXPECT_FALSE(metricDisplayModeFromRawValue(QStringLiteral("TextOnly")));
}

TEST(MenuBarItemCodecTest, EncodesCompactlyWithExactlyTheThreeKeys) {
    const auto text =
        encodeMenuBarItemsText({{cpu, true, textOnly}, {fanSpeed, false, iconAndText}});
    EXPECT_FALSE(text.contains(' '));
    EXPECT_FALSE(text.contains('\n'));
    const auto array = QJsonDocument::fromJson(text).array();
    ASSERT_EQ(array.size(), 2);
    EXPECT_EQ(array[0].toObject(),
              (QJsonObject{{"metric", "cpu"}, {"enabled", true}, {"displayMode", "textOnly"}}));
    EXPECT_EQ(
        array[1].toObject(),
        (QJsonObject{{"metric", "fanSpeed"}, {"enabled", false}, {"displayMode", "iconAndText"}}));
}

TEST(MenuBarItemCodecTest, RoundTripsEveryMetricAndMode) {
    Items items;
    for (std::size_t i = 0; i < allMenuBarMetrics.size(); ++i) {
        // Reverse order, alternating switches, every mode.
        items.append({allMenuBarMetrics[allMenuBarMetrics.size() - 1 - i], i % 2 == 0,
                      allMetricDisplayModes[i % allMetricDisplayModes.size()]});
    }
    EXPECT_EQ(decodeMenuBarItemsText(encodeMenuBarItemsText(items)), items);
    EXPECT_EQ(decodeMenuBarItems(encodeMenuBarItems(items)), items);
    EXPECT_EQ(decodeMenuBarItemsText("[]"), Items{});
}

TEST(MenuBarItemCodecTest, AcceptsAnyKeyOrderAndIgnoresOtherKeys) {
    EXPECT_EQ(decodeMenuBarItemsText(
                  R"([{"displayMode":"graphOnly","enabled":true,"metric":"disk","note":1}])"),
              (Items{{disk, true, graphOnly}}));
}

TEST(MenuBarItemCodecTest, AnyFaultFailsTheWholeList) {
    const char* cases[] = {
        R"([{"metric":"cpu","enabled":true,"displayMode":"textOnly"},)"
        R"({"metric":"foo","enabled":true,"displayMode":"textOnly"}])",
        R"([{"metric":"cpu","enabled":true,"displayMode":"sparkline"}])",
        R"([{"metric":"CPU","enabled":true,"displayMode":"textOnly"}])",
        R"([{"enabled":true,"displayMode":"textOnly"}])",
        R"([{"metric":"cpu","displayMode":"textOnly"}])",
        R"([{"metric":"cpu","enabled":true}])",
        R"([{"metric":"cpu","enabled":1,"displayMode":"textOnly"}])",
        R"([{"metric":"cpu","enabled":"true","displayMode":"textOnly"}])",
        R"([{"metric":0,"enabled":true,"displayMode":"textOnly"}])",
        R"([{"metric":"cpu","enabled":true,"displayMode":null}])",
        R"([{"metric":"cpu","enabled":true,"displayMode":"textOnly"}, "ram"])",
        R"({"metric":"cpu","enabled":true,"displayMode":"textOnly"})",
        R"([{"metric":"cpu","enabled":true,"displayMode":"textOnly"})",
        R"(not json)",
        "",
        // The metric identifies a row, so it may appear once only.
        R"([{"metric":"ram","enabled":true,"displayMode":"textOnly"},)"
        R"({"metric":"ram","enabled":false,"displayMode":"graphOnly"}])",
    };
    for (const char* text : cases) {
        EXPECT_FALSE(decodeMenuBarItemsText(QByteArray(text)).has_value()) << text;
    }
    EXPECT_FALSE(decodeMenuBarItems(QJsonValue(QStringLiteral("[]"))).has_value());
    EXPECT_FALSE(decodeMenuBarItems(QJsonValue()).has_value());
}

const Items freshLegacyList{{cpu, true, textOnly},         {ram, false, textOnly},
                            {network, false, textOnly},    {gpu, false, textOnly},
                            {battery, false, iconAndText}, {disk, false, textOnly}};

TEST(MenuBarItemLoadTest, LoadsStoredListsAndFallsBackToTheLegacyList) {
    struct Case {
        const char* name;
        const char* stored;
        Items expected;
    };
    const Case cases[] = {
        {"nothing stored", "{}", freshLegacyList},
        {"legacy switches",
         R"({"showCPUInMenuBar":false,"showRAMInMenuBar":true})",
         {{cpu, false, textOnly},
          {ram, true, textOnly},
          {network, false, textOnly},
          {gpu, false, textOnly},
          {battery, false, iconAndText},
          {disk, false, textOnly}}},
        {"legacy network on",
         R"({"showNetworkInMenuBar":true})",
         {{cpu, true, textOnly},
          {ram, false, textOnly},
          {network, true, textOnly},
          {gpu, false, textOnly},
          {battery, false, iconAndText},
          {disk, false, textOnly}}},
        {"legacy switches of the wrong type", R"({"showCPUInMenuBar":0,"showRAMInMenuBar":"yes"})",
         freshLegacyList},
        {"one stored entry is completed",
         R"({"menuBarItemConfigs":[{"metric":"disk","enabled":true,"displayMode":"graphOnly"}]})",
         {{disk, true, graphOnly},
          {cpu, false, textOnly},
          {ram, false, textOnly},
          {network, false, textOnly},
          {gpu, false, textOnly},
          {battery, false, textOnly},
          {cpuTemp, false, textOnly},
          {gpuTemp, false, textOnly},
          {fanSpeed, false, textOnly}}},
        {"a saved six-entry list gains the sensor metrics at its end",
         R"({"showCPUInMenuBar":false,"menuBarItemConfigs":[
             {"metric":"ram","enabled":true,"displayMode":"graphAndText"},
             {"metric":"cpu","enabled":true,"displayMode":"textOnly"},
             {"metric":"network","enabled":false,"displayMode":"textOnly"},
             {"metric":"gpu","enabled":false,"displayMode":"textOnly"},
             {"metric":"battery","enabled":true,"displayMode":"iconAndText"},
             {"metric":"disk","enabled":false,"displayMode":"textOnly"}]})",
         {{ram, true, graphAndText},
          {cpu, true, textOnly},
          {network, false, textOnly},
          {gpu, false, textOnly},
          {battery, true, iconAndText},
          {disk, false, textOnly},
          {cpuTemp, false, textOnly},
          {gpuTemp, false, textOnly},
          {fanSpeed, false, textOnly}}},
        {"unknown metric",
         R"({"showRAMInMenuBar":true,"menuBarItemConfigs":[
             {"metric":"foo","enabled":true,"displayMode":"textOnly"}]})",
         {{cpu, true, textOnly},
          {ram, true, textOnly},
          {network, false, textOnly},
          {gpu, false, textOnly},
          {battery, false, iconAndText},
          {disk, false, textOnly}}},
        {"list stored as text", R"({"menuBarItemConfigs":"[]"})", freshLegacyList},
        {"repeated metric",
         R"({"menuBarItemConfigs":[{"metric":"gpu","enabled":true,"displayMode":"textOnly"},
             {"metric":"gpu","enabled":true,"displayMode":"textOnly"}]})",
         freshLegacyList},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(menubar::load(readStoredMenuBarSettings(JsonSettings(c.stored))), c.expected)
            << c.name;
    }
}

TEST(MenuBarItemEditTest, EditsAddressOneRowAndIgnoreRowsOutsideTheList) {
    const Items three{{cpu, true, textOnly}, {ram, false, textOnly}, {gpu, true, graphOnly}};
    struct Case {
        const char* name;
        bool (*edit)(Items&);
        bool changed;
        Items expected;
    };
    const Case cases[] = {
        {"move first up", [](Items& l) { return menubar::moveUp(l, 0); }, false, three},
        {"move last down", [](Items& l) { return menubar::moveDown(l, 2); }, false, three},
        {"move up past the end", [](Items& l) { return menubar::moveUp(l, 3); }, false, three},
        {"move down before the start", [](Items& l) { return menubar::moveDown(l, -1); }, false,
         three},
        {"enable outside", [](Items& l) { return menubar::setEnabled(l, 3, true); }, false, three},
        {"mode outside", [](Items& l) { return menubar::setDisplayMode(l, -1, iconAndText); },
         false, three},
        {"move middle up",
         [](Items& l) { return menubar::moveUp(l, 1); },
         true,
         {{ram, false, textOnly}, {cpu, true, textOnly}, {gpu, true, graphOnly}}},
        {"move last up",
         [](Items& l) { return menubar::moveUp(l, 2); },
         true,
         {{cpu, true, textOnly}, {gpu, true, graphOnly}, {ram, false, textOnly}}},
        {"move first down",
         [](Items& l) { return menubar::moveDown(l, 0); },
         true,
         {{ram, false, textOnly}, {cpu, true, textOnly}, {gpu, true, graphOnly}}},
        {"enable keeps the place",
         [](Items& l) { return menubar::setEnabled(l, 1, true); },
         true,
         {{cpu, true, textOnly}, {ram, true, textOnly}, {gpu, true, graphOnly}}},
        {"mode keeps the place",
         [](Items& l) { return menubar::setDisplayMode(l, 2, graphAndText); },
         true,
         {{cpu, true, textOnly}, {ram, false, textOnly}, {gpu, true, graphAndText}}},
    };
    for (const auto& c : cases) {
        auto items = three;
        EXPECT_EQ(c.edit(items), c.changed) << c.name;
        EXPECT_EQ(items, c.expected) << c.name;
    }
    Items empty;
    EXPECT_FALSE(menubar::moveDown(empty, 0));
    EXPECT_FALSE(menubar::moveUp(empty, 0));
}

TEST(MenuBarItemEditTest, RepeatedMetricsKeepTheirFirstEntry) {
    EXPECT_EQ(menubar::withoutRepeatedMetrics(
                  {{cpu, true, textOnly}, {ram, true, graphOnly}, {cpu, false, iconAndText}}),
              (Items{{cpu, true, textOnly}, {ram, true, graphOnly}}));
}

}  // namespace
