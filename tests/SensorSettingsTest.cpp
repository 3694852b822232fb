#include "core/AppSettings.h"
#include "core/SettingsFile.h"
#include "support/QStringPrinter.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

using Names = QMap<QString, QString>;
const QString fan = QStringLiteral("platform_nct6775_656/fan2");

class SensorSettingsTest : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath(QStringLiteral("settings.json")); }
    // A store on what the file holds now; its file lives as long as the test.
    std::unique_ptr<AppSettings> open() {
        files_.push_back(std::make_unique<SettingsFile>(path()));
        return std::make_unique<AppSettings>(*files_.back());
    }
    QTemporaryDir dir_;
    std::vector<std::unique_ptr<SettingsFile>> files_;
};

TEST_F(SensorSettingsTest, RenamingKeepsATrimmedBoundedNameAndABlankOneRemovesIt) {
    const QString sixtyFour(64, QLatin1Char('n'));
    // A musical symbol is two UTF-16 units: a cut at 64 never splits it.
    const QString surrogateAtCut = QString(63, QLatin1Char('n')) + QString::fromUtf8("\U0001D11E");
    const struct {
        const char* what;
        std::function<void(AppSettings&)> edit;
        Names names;
    } cases[] = {
        {"trimmed",
         [](AppSettings& s) { s.setSensorName(fan, "  Rear fan \n"); },
         {{fan, "Rear fan"}}},
        {"blank removes",
         [](AppSettings& s) {
             s.setSensorName(fan, "Rear fan");
             s.setSensorName(fan, " \t ");
         },
         {}},
        {"empty removes",
         [](AppSettings& s) {
             s.setSensorName(fan, "Rear fan");
             s.setSensorName(fan, {});
         },
         {}},
        {"cut to 64",
         [&](AppSettings& s) { s.setSensorName(fan, sixtyFour + "tail"); },
         {{fan, sixtyFour}}},
        {"never halves a character",
         [&](AppSettings& s) { s.setSensorName(fan, surrogateAtCut); },
         {{fan, surrogateAtCut.left(63)}}},
        {"no identity", [](AppSettings& s) { s.setSensorName({}, "Nameless"); }, {}},
        {"identity too long",
         [](AppSettings& s) { s.setSensorName(QString(257, QLatin1Char('c')), "Long"); },
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path());
        auto settings = open();
        c.edit(*settings);
        EXPECT_EQ(settings->sensorNames(), c.names);
        EXPECT_EQ(open()->sensorNames(), c.names);  // read back from the file
    }
}

TEST_F(SensorSettingsTest, NamesAndHiddenReadingsStopAtTheirLimit) {
    // A file already at the limit, so the test writes the file a few times, not a thousand.
    QJsonObject fullNames;
    QJsonArray fullHidden;
    for (int i = 0; i < 1024; ++i) {
        fullNames.insert(QStringLiteral("hwmon0/in%1").arg(i), QStringLiteral("Rail %1").arg(i));
        fullHidden.append(QStringLiteral("hwmon0/in%1").arg(i));
    }
    {
        SettingsFile seeded(path());
        seeded.set(QStringLiteral("sensorNames"), fullNames);
        seeded.set(QStringLiteral("hiddenSensors"), fullHidden);
    }
    auto settings = open();
    for (int i = 1024; i < 1030; ++i) {
        const QString identity = QStringLiteral("hwmon0/in%1").arg(i);
        settings->setSensorName(identity, QStringLiteral("Rail %1").arg(i));
        settings->setSensorHidden(identity, true);
    }
    EXPECT_EQ(settings->sensorNames().size(), 1024);
    EXPECT_EQ(settings->hiddenSensors().size(), 1024);
    EXPECT_FALSE(settings->sensorNames().contains(QStringLiteral("hwmon0/in1024")));
    // A kept name can still be changed, and one removed makes room.
    settings->setSensorName(QStringLiteral("hwmon0/in0"), QStringLiteral("Vcore"));
    settings->setSensorName(QStringLiteral("hwmon0/in1"), {});
    settings->setSensorName(QStringLiteral("hwmon0/in1029"), QStringLiteral("Last"));
    const Names names = open()->sensorNames();
    EXPECT_EQ(names.value(QStringLiteral("hwmon0/in0")), QStringLiteral("Vcore"));
    EXPECT_FALSE(names.contains(QStringLiteral("hwmon0/in1")));
    EXPECT_EQ(names.value(QStringLiteral("hwmon0/in1029")), QStringLiteral("Last"));
}

TEST_F(SensorSettingsTest, HidingTwiceHidesOnceAndShowingAnnouncesOnce) {
    auto settings = open();
    QSignalSpy changed(settings.get(), &AppSettings::hiddenSensorsChanged);
    const QString rail = QStringLiteral("platform_nct6775_656/in3");
    settings->setSensorHidden(fan, true);
    settings->setSensorHidden(rail, true);
    settings->setSensorHidden(fan, true);
    EXPECT_EQ(open()->hiddenSensors(), (QStringList{fan, rail}));
    settings->setSensorHidden(fan, false);
    settings->setSensorHidden(fan, false);
    EXPECT_EQ(settings->hiddenSensors(), QStringList{rail});
    EXPECT_EQ(changed.count(), 3);
}

// A hand-edited file beyond the bounds is left for the default (and logged); repeats are
// dropped.
TEST_F(SensorSettingsTest, AStoredListBeyondItsBoundsIsIgnored) {
    QJsonObject manyNames;
    QJsonArray manyHidden;
    for (int i = 0; i < 1025; ++i) {
        manyNames.insert(QStringLiteral("hwmon0/in%1").arg(i), QStringLiteral("Rail"));
        manyHidden.append(QStringLiteral("hwmon0/in%1").arg(i));
    }
    const struct {
        const char* what;
        QJsonObject stored;
        Names names;
        QStringList hidden;
        int ignored;
    } cases[] = {
        {"usable",
         {{"sensorNames", QJsonObject{{fan, "Rear"}}}, {"hiddenSensors", QJsonArray{fan}}},
         {{fan, "Rear"}},
         {fan},
         0},
        {"repeats", {{"hiddenSensors", QJsonArray{fan, fan}}}, {}, {fan}, 0},
        {"too many", {{"sensorNames", manyNames}, {"hiddenSensors", manyHidden}}, {}, {}, 2},
        {"name too long",
         {{"sensorNames", QJsonObject{{fan, QString(65, QLatin1Char('n'))}}}},
         {},
         {},
         1},
        {"empty identity", {{"hiddenSensors", QJsonArray{""}}}, {}, {}, 1},
        {"not text", {{"hiddenSensors", QJsonArray{3}}}, {}, {}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsFile seeded(path());
        seeded.set(QStringLiteral("sensorNames"), c.stored.value("sensorNames"));
        seeded.set(QStringLiteral("hiddenSensors"), c.stored.value("hiddenSensors"));
        testing::internal::CaptureStderr();
        const auto settings = open();
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(settings->sensorNames(), c.names);
        EXPECT_EQ(settings->hiddenSensors(), c.hidden);
        EXPECT_EQ(settings->ignoredAtLoad().size(), c.ignored);
    }
}

TEST_F(SensorSettingsTest, OnlyTheOfferedAlertWaitsAreTaken) {
    auto settings = open();
    for (const int seconds : {10, 30, 60, 0}) {
        settings->setAlertSustainSeconds(seconds);
        EXPECT_EQ(open()->alertSustainSeconds(), seconds);
    }
    for (const int seconds : {5, -10, 600}) {
        settings->setAlertSustainSeconds(seconds);
        EXPECT_EQ(settings->alertSustainSeconds(), 0) << seconds;
    }
}

}  // namespace
