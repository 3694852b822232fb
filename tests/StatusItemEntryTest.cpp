#include "core/AppSettings.h"
#include "core/SettingsReader.h"
#include "status_list/StatusItemCodec.h"
#include "status_list/StatusItemEntry.h"
#include "status_list/StatusItemList.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

using enum StatusMetric;
using enum MetricDisplayMode;
using Items = QVector<StatusItemEntry>;

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

TEST(StatusMetricTest, StoredNamesReadBackAndOthersAreRejected) {
    for (const auto metric : allStatusMetrics) {
        EXPECT_EQ(statusMetricFromRawValue(rawValue(metric)), metric);
    }
    for (const auto mode : allMetricDisplayModes) {
        EXPECT_EQ(metricDisplayModeFromRawValue(rawValue(mode)), mode);
    }
    // The names settings files already hold.
    for (const char* stored :
         {"cpu", "ram", "network", "gpu", "battery", "disk", "cpuTemp", "gpuTemp", "fanSpeed"}) {
        EXPECT_TRUE(statusMetricFromRawValue(QLatin1String(stored))) << stored;
    }
    for (const char* stored : {"textOnly", "graphOnly", "graphAndText", "iconAndText"}) {
        EXPECT_TRUE(metricDisplayModeFromRawValue(QLatin1String(stored))) << stored;
    }
    for (const char* unknown : {"CPU", "foo", "", "cpu "}) {
        EXPECT_FALSE(statusMetricFromRawValue(QLatin1String(unknown))) << unknown;
    }
    EXPECT_FALSE(metricDisplayModeFromRawValue(QStringLiteral("TextOnly")));
}

TEST(StatusItemCodecTest, EncodesCompactlyWithExactlyTheThreeKeys) {
    const auto text = encodeStatusItemEntriesText({{fanSpeed, false, iconAndText}});
    EXPECT_EQ(
        QJsonDocument::fromJson(text).array()[0].toObject(),
        (QJsonObject{{"metric", "fanSpeed"}, {"enabled", false}, {"displayMode", "iconAndText"}}));
    EXPECT_FALSE(text.contains(' ') || text.contains('\n'));
}

TEST(StatusItemCodecTest, RoundTripsEveryMetricAndModeInAnyKeyOrder) {
    Items items;
    for (std::size_t i = 0; i < allStatusMetrics.size(); ++i) {
        // Reverse order, alternating switches, every mode.
        items.append({allStatusMetrics[allStatusMetrics.size() - 1 - i], i % 2 == 0,
                      allMetricDisplayModes[i % allMetricDisplayModes.size()]});
    }
    EXPECT_EQ(decodeStatusItemEntriesText(encodeStatusItemEntriesText(items)), items);
    EXPECT_EQ(decodeStatusItemEntries(encodeStatusItemEntries(items)), items);
    EXPECT_EQ(decodeStatusItemEntriesText(
                  R"([{"displayMode":"graphOnly","enabled":true,"metric":"disk","note":1}])"),
              (Items{{disk, true, graphOnly}}));
}

TEST(StatusItemCodecTest, AnyFaultFailsTheWholeList) {
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
        EXPECT_FALSE(decodeStatusItemEntriesText(QByteArray(text)).has_value()) << text;
    }
    EXPECT_FALSE(decodeStatusItemEntries(QJsonValue(QStringLiteral("[]"))).has_value());
}

Items legacyList(bool cpuOn, bool ramOn) {
    return {{cpu, cpuOn, textOnly}, {ram, ramOn, textOnly},        {network, false, textOnly},
            {gpu, false, textOnly}, {battery, false, iconAndText}, {disk, false, textOnly}};
}

TEST(StatusItemLoadTest, LoadsStoredListsAndFallsBackToTheLegacyList) {
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
        EXPECT_EQ(status_list::load(readStoredStatusItemSettings(JsonSettings(c.stored))),
                  c.expected)
            << c.stored;
    }
}

TEST(StatusItemEditTest, EditsAddressOneRowAndIgnoreRowsOutsideTheList) {
    const Items three{{cpu, true, textOnly}, {ram, false, textOnly}, {gpu, true, graphOnly}};
    const struct {
        const char* name;
        bool (*edit)(Items&);
        Items expected;  // empty: unchanged
    } cases[] = {
        {"move first up", [](Items& l) { return status_list::moveUp(l, 0); }, {}},
        {"move last down", [](Items& l) { return status_list::moveDown(l, 2); }, {}},
        {"move up past the end", [](Items& l) { return status_list::moveUp(l, 3); }, {}},
        {"move down before the start", [](Items& l) { return status_list::moveDown(l, -1); }, {}},
        {"enable outside", [](Items& l) { return status_list::setEnabled(l, 3, true); }, {}},
        {"mode outside",
         [](Items& l) { return status_list::setDisplayMode(l, -1, iconAndText); },
         {}},
        {"move last up",
         [](Items& l) { return status_list::moveUp(l, 2); },
         {{cpu, true, textOnly}, {gpu, true, graphOnly}, {ram, false, textOnly}}},
        {"move first down",
         [](Items& l) { return status_list::moveDown(l, 0); },
         {{ram, false, textOnly}, {cpu, true, textOnly}, {gpu, true, graphOnly}}},
        {"enable keeps the place",
         [](Items& l) { return status_list::setEnabled(l, 1, true); },
         {{cpu, true, textOnly}, {ram, true, textOnly}, {gpu, true, graphOnly}}},
        {"mode keeps the place",
         [](Items& l) { return status_list::setDisplayMode(l, 2, graphAndText); },
         {{cpu, true, textOnly}, {ram, false, textOnly}, {gpu, true, graphAndText}}},
    };
    for (const auto& c : cases) {
        auto items = three;
        EXPECT_EQ(c.edit(items), !c.expected.isEmpty()) << c.name;
        EXPECT_EQ(items, c.expected.isEmpty() ? three : c.expected) << c.name;
    }
    Items empty;
    EXPECT_FALSE(status_list::moveDown(empty, 0));
    EXPECT_EQ(status_list::withoutRepeatedMetrics(
                  {{cpu, true, textOnly}, {ram, true, graphOnly}, {cpu, false, iconAndText}}),
              (Items{{cpu, true, textOnly}, {ram, true, graphOnly}}));
}

}  // namespace
