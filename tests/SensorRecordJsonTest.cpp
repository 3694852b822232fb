#include "core/RecordJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <iterator>
#include <limits>

namespace {

std::string compact(const QJsonValue& value) {
    return QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).toStdString();
}

// Each channel of the list as the sampling tool prints it: absent or non-finite numbers null.
TEST(SensorRecordJson, EveryChannelCarriesItsIdentityKindUnitAndNumbers) {
    using enum SensorChannelKind;
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        SensorChannelReading channel;
        const char* json;
    } cases[] = {
        {{"platform_coretemp_0", "temp1", "coretemp", "Package id 0", temperature, 52, {}, 84, 100},
         R"({"chip":"platform_coretemp_0","chipName":"coretemp","critical":100,)"
         R"("kind":"temperature","label":"Package id 0","max":84,"min":null,)"
         R"("sensor":"temp1","unit":"celsius","value":52})"},
        {{"platform_nct6775_656", "fan2", "nct6798", "", fan, 1450, 300, {}, {}},
         R"({"chip":"platform_nct6775_656","chipName":"nct6798","critical":null,"kind":"fan",)"
         R"("label":"","max":null,"min":300,"sensor":"fan2","unit":"rpm","value":1450})"},
        {{"c", "in0", "n", "Vcore", voltage, 1.25, {}, {}, {}},
         R"({"chip":"c","chipName":"n","critical":null,"kind":"voltage","label":"Vcore",)"
         R"("max":null,"min":null,"sensor":"in0","unit":"volts","value":1.25})"},
        {{"c", "curr1", "n", "", current, {}, {}, {}, {}},
         R"({"chip":"c","chipName":"n","critical":null,"kind":"current","label":"","max":null,)"
         R"("min":null,"sensor":"curr1","unit":"amperes","value":null})"},
        {{"c", "power1", "n", "", power, nan, {}, {}, {}},
         R"({"chip":"c","chipName":"n","critical":null,"kind":"power","label":"","max":null,)"
         R"("min":null,"sensor":"power1","unit":"watts","value":null})"},
        {{"c", "energy1", "n", "", energy, 9000.5, {}, {}, {}},
         R"({"chip":"c","chipName":"n","critical":null,"kind":"energy","label":"","max":null,)"
         R"("min":null,"sensor":"energy1","unit":"joules","value":9000.5})"},
    };
    SensorStats stats;
    for (const auto& c : cases) {
        stats.channels.append(c.channel);
    }
    const QJsonArray sensors = toJson(stats).value("sensors").toArray();
    ASSERT_EQ(sensors.size(), static_cast<qsizetype>(std::size(cases)));
    for (qsizetype i = 0; i < sensors.size(); ++i) {
        EXPECT_EQ(compact(sensors[i]), std::string("[") + cases[i].json + "]");
    }
    EXPECT_EQ(toJson(SensorStats{}).value("sensors"), QJsonArray());
}

}  // namespace
