#include "helper/SensorCollector.h"
#include "support/HelperFixtures.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Field sources over a table of named values; every read is logged.
struct FakeSources {
    std::map<std::string, std::optional<double>> values;
    std::vector<std::string> reads;

    FieldSource source(const std::string& name) {
        return [this, name] {
            reads.push_back(name);
            const auto value = values.find(name);
            return value == values.end() ? std::nullopt : value->second;
        };
    }
    FieldSources of(SensorField field, const std::vector<std::string>& names) {
        FieldSources sources;
        for (const auto& name : names) {
            sources.of(field).push_back(source(name));
        }
        return sources;
    }
};

SensorCollector collectorOver(FieldSources sources, FakeMonotonicTime& time,
                              SensorCollector::ChannelList channels = {}) {
    return SensorCollector(std::move(sources), std::move(channels), time.clock());
}

TEST(SensorCollector, FirstUsableSourceOfAFieldWins) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        SensorField field;
        std::vector<std::pair<std::string, std::optional<double>>> sources;
        std::optional<double> expected;
        std::vector<std::string> read;
    } cases[] = {
        {"first wins, later unread",
         SensorField::cpuTemperature,
         {{"a", 38.0}, {"b", 99.0}},
         38.0,
         {"a"}},
        {"absent skipped", SensorField::cpuTemperature, {{"a", {}}, {"b", 41.5}}, 41.5, {"a", "b"}},
        {"0 °C skipped", SensorField::gpuTemperature, {{"a", 0.0}, {"b", 41.5}}, 41.5, {"a", "b"}},
        {"negative skipped",
         SensorField::ssdTemperature,
         {{"a", -5.0}, {"b", 30.0}},
         30.0,
         {"a", "b"}},
        {"too hot skipped", SensorField::batteryTemperature, {{"a", 900.0}}, {}, {"a"}},
        {"not a number skipped",
         SensorField::ambientTemperature,
         {{"a", nan}, {"b", 21.0}},
         21.0,
         {"a", "b"}},
        {"0 W skipped", SensorField::cpuPower, {{"a", 0.0}, {"b", 12.0}}, 12.0, {"a", "b"}},
        {"beyond 5000 W skipped", SensorField::systemPower, {{"a", 5000.5}}, {}, {"a"}},
        {"a stopped fan is 0", SensorField::fan0, {{"a", 0.0}, {"b", 900.0}}, 0.0, {"a"}},
        {"negative fan skipped", SensorField::fan1, {{"a", -1.0}}, {}, {"a"}},
        {"no source", SensorField::chargerPower, {}, {}, {}},
    };
    for (const auto& c : cases) {
        FakeSources fake;
        std::vector<std::string> names;
        for (const auto& [name, value] : c.sources) {
            fake.values[name] = value;
            names.push_back(name);
        }
        FakeMonotonicTime time;
        auto collector = collectorOver(fake.of(c.field, names), time);
        const SensorReading reading = collector.collect();
        EXPECT_EQ(reading.*readingMember(c.field), c.expected) << c.name;
        EXPECT_EQ(fake.reads, c.read) << c.name;
    }
}

TEST(SensorCollector, EachFieldHasItsOwnSourcesAndTheFanCountItsOwn) {
    FakeSources fake{{{"cpu", 50.0}, {"fan", 1200.0}, {"fans", 2.9}}, {}};
    FieldSources sources;
    sources.of(SensorField::cpuTemperature).push_back(fake.source("cpu"));
    sources.of(SensorField::fan0).push_back(fake.source("fan"));
    sources.fanCount = fake.source("fans");
    FakeMonotonicTime time;
    SensorReading expected;
    expected.cpuTempCelsius = 50.0;
    expected.fan0Rpm = 1200.0;
    expected.fanCount = 2;
    EXPECT_EQ(collectorOver(std::move(sources), time).collect(), expected);

    FieldSources none;
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(collectorOver(std::move(none), time).collect(), SensorReading{});
}

TEST(SensorCollector, TheReplyIsKeptFor100ms) {
    FakeSources fake{{{"cpu", 40.0}}, {}};
    FakeMonotonicTime time;
    int listed = 0;
    auto collector = collectorOver(fake.of(SensorField::cpuTemperature, {"cpu"}), time, [&] {
        ++listed;
        SensorChannel channel;
        channel.chip = "platform_coretemp_0";
        return std::vector<SensorChannel>{channel};
    });
    const struct {
        std::chrono::milliseconds after;
        double value;
        double expected;
        int reads;
    } steps[] = {
        {0ms, 40.0, 40.0, 1},  {50ms, 41.0, 40.0, 1}, {49ms, 42.0, 40.0, 1},   {1ms, 43.0, 43.0, 2},
        {99ms, 44.0, 43.0, 2}, {1ms, 45.0, 45.0, 3},  {5000ms, 46.0, 46.0, 4},
    };
    for (const auto& step : steps) {
        time.advance(step.after);
        fake.values["cpu"] = step.value;
        const SensorReading reading = collector.collect();
        EXPECT_EQ(reading.cpuTempCelsius, step.expected) << step.value;
        EXPECT_EQ(static_cast<int>(fake.reads.size()), step.reads) << step.value;
        EXPECT_EQ(listed, step.reads) << "the channels are kept with the reply";
        ASSERT_EQ(reading.channels.size(), 1u);
        EXPECT_EQ(reading.channels[0].chip, "platform_coretemp_0");
    }
}

TEST(SensorCollector, PlausibilityLimits) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        SensorQuantity quantity;
        double value;
        bool plausible;
    } cases[] = {
        {SensorQuantity::temperature, -274.0, false}, {SensorQuantity::temperature, -273.15, false},
        {SensorQuantity::temperature, -20.0, true},   {SensorQuantity::temperature, 200.0, true},
        {SensorQuantity::temperature, 200.5, false},  {SensorQuantity::temperature, nan, false},
        {SensorQuantity::power, -0.001, false},       {SensorQuantity::power, 0.0, true},
        {SensorQuantity::power, 450.0, true},         {SensorQuantity::power, inf, false},
        {SensorQuantity::power, 5000.5, false},       {SensorQuantity::fanSpeed, -1.0, false},
        {SensorQuantity::fanSpeed, 0.0, true},        {SensorQuantity::fanSpeed, 65535000.0, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isPlausibleReading(c.quantity, c.value), c.plausible) << c.value;
    }
}

TEST(SensorCollector, FanCountTruncatesTowardZeroAndRejectsWhatNoIntegerHolds) {
    const double infinity = std::numeric_limits<double>::infinity();
    const struct {
        std::optional<double> value;
        std::int64_t count;
    } cases[] = {
        {std::nullopt, 0},
        {2.0, 2},
        {2.9, 2},
        {-1.5, -1},
        {std::nan(""), 0},
        {infinity, 0},
        {-infinity, 0},
        {9223372036854775808.0, 0},  // 2^63
        {-9223372036854775808.0, std::numeric_limits<std::int64_t>::min()},
        {-9.3e18, 0},
        {9223372036854774784.0, 9223372036854774784},  // the largest double below 2^63
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fanCountFromValue(c.value), c.count) << c.value.value_or(-12345);
    }
}

}  // namespace
