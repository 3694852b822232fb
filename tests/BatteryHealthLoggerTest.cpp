#include "providers/BatteryHealthLogger.h"
#include "support/FakeClock.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {

using namespace std::chrono_literals;

constexpr auto kDay = std::chrono::hours(24);
constexpr auto kWeek = 7 * kDay;
// 2025-06-01 00:00:00 UTC: 1748736000 s after 1970, 770428800 s after 2001.
constexpr std::int64_t kStartUnixSeconds = 1748736000;
constexpr double kStartHistorySeconds = 770428800;

BatteryStats batteryWith(int cycleCount, int healthPercent) {
    BatteryStats battery;
    battery.hasBattery = true;
    battery.percentage = 80;
    battery.cycleCount = cycleCount;
    battery.healthPercent = healthPercent;
    return battery;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeContent(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

class BatteryHealthLoggerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        clock_.setWallStart(Clock::WallTime{} + std::chrono::seconds(kStartUnixSeconds));
    }

    QString historyPath() const { return folder_.filePath("vantrel/battery_history.json"); }
    QStringList asideFiles() const {
        return QDir(folder_.filePath("vantrel"))
            .entryList({"battery_history.json.corrupt-*"}, QDir::Files | QDir::Dirs, QDir::Name);
    }

    QTemporaryDir folder_;
    FakeClock clock_;
};

TEST_F(BatteryHealthLoggerTest, WritesTheFirstPointAtOnceInTheHistoryFormat) {
    BatteryHealthLogger logger(historyPath(), clock_);
    EXPECT_TRUE(QDir(folder_.filePath("vantrel")).exists());
    EXPECT_FALSE(QFile::exists(historyPath()));

    logger.record(batteryWith(187, 88));

    const QByteArray content = contentOf(historyPath());
    EXPECT_FALSE(content.contains('\n')) << "written compactly";
    const QJsonDocument document = QJsonDocument::fromJson(content);
    ASSERT_TRUE(document.isArray());
    ASSERT_EQ(document.array().size(), 1);
    const QJsonObject point = document.array().first().toObject();
    EXPECT_EQ(point.keys(), (QStringList{"cycleCount", "date", "healthPercent"}));
    EXPECT_EQ(point.value("date").toDouble(), kStartHistorySeconds);
    EXPECT_EQ(point.value("cycleCount").toInt(), 187);
    EXPECT_EQ(point.value("healthPercent").toInt(), 88);
    EXPECT_EQ(logger.healthHistory(), QVector<int>{88});
}

TEST_F(BatteryHealthLoggerTest, RecordsOnlyBatteriesWithKnownCyclesAndHealth) {
    BatteryHealthLogger logger(historyPath(), clock_);
    BatteryStats noBattery = batteryWith(187, 88);
    noBattery.hasBattery = false;
    for (const BatteryStats& battery : {noBattery, batteryWith(0, 100), batteryWith(-1, 88),
                                        batteryWith(187, 0), batteryWith(187, -1)}) {
        logger.record(battery);
    }
    EXPECT_TRUE(logger.history().empty());
    EXPECT_FALSE(QFile::exists(historyPath()));
}

TEST_F(BatteryHealthLoggerTest, AddsAPointOnlyWhenTheLastIsMoreThanAWeekOld) {
    BatteryHealthLogger logger(historyPath(), clock_);
    logger.record(batteryWith(100, 99));
    clock_.advance(kWeek);
    logger.record(batteryWith(101, 98));
    ASSERT_EQ(logger.history().size(), 1u) << "exactly seven days is not more than a week";

    clock_.advance(1s);
    logger.record(batteryWith(102, 97));
    ASSERT_EQ(logger.history().size(), 2u);
    EXPECT_EQ(logger.history().back(), (BatterySnapshot{kStartHistorySeconds + 604801, 102, 97}));

    // The file holds both, and a new logger loads them at creation.
    BatteryHealthLogger reloaded(historyPath(), clock_);
    EXPECT_EQ(reloaded.history(), logger.history());
    reloaded.record(batteryWith(103, 96));
    EXPECT_EQ(reloaded.history().size(), 2u);
}

TEST_F(BatteryHealthLoggerTest, TrendFollowsFourMonthsOfPolls) {
    BatteryHealthLogger logger(historyPath(), clock_);
    // One poll a day for 120 days, health falling from 98 to 95.
    for (int day = 0; day <= 120; ++day) {
        logger.record(batteryWith(100 + day, 98 - day / 40));
        clock_.advance(kDay);
    }
    // Points on days 0, 8, 16, ..., 120.
    EXPECT_EQ(logger.history().size(), 16u);
    EXPECT_EQ(logger.trendText(), QString::fromUtf8("4mo ago: 98% → now: 95%"));
}

TEST_F(BatteryHealthLoggerTest, TrendSpansWholeMonthsFromFirstToLastPoint) {
    const std::pair<const char*, std::optional<QString>> rows[] = {
        {R"([{"date":0,"cycleCount":1,"healthPercent":99}])", std::nullopt},
        {R"([{"date":0,"cycleCount":1,"healthPercent":99},
             {"date":2505600,"cycleCount":9,"healthPercent":98}])",
         std::nullopt},  // 29 days
        {R"([{"date":0,"cycleCount":1,"healthPercent":99},
             {"date":2592000,"cycleCount":9,"healthPercent":98,"note":"extra members do"}])",
         QString::fromUtf8("1mo ago: 99% → now: 98%")},
        {R"([{"date":100.5,"cycleCount":1,"healthPercent":100},
             {"date":5000000,"cycleCount":50,"healthPercent":80},
             {"date":31536100.5,"cycleCount":300,"healthPercent":91}])",
         QString::fromUtf8("12mo ago: 100% → now: 91%")},
        {R"([{"date":9000000,"cycleCount":1,"healthPercent":99},
             {"date":0,"cycleCount":9,"healthPercent":98}])",
         std::nullopt},  // a clock set back
    };
    for (const auto& [history, text] : rows) {
        writeContent(historyPath(), history);
        EXPECT_EQ(BatteryHealthLogger(historyPath(), clock_).trendText(), text) << history;
    }
}

TEST_F(BatteryHealthLoggerTest, AnUnreadableHistoryIsMovedAsideBeforeTheFirstNewPoint) {
    for (const QByteArray& original : {
             QByteArray("battery says hi"),
             QByteArray(R"([{"date":1,"cycleCount":1,"healthPercent":9)"),
             QByteArray(R"({"date":1,"cycleCount":1,"healthPercent":90})"),
             QByteArray(R"([{"date":"yesterday","cycleCount":1,"healthPercent":90}])"),
             QByteArray(R"([{"date":1,"cycleCount":1.5,"healthPercent":90}])"),
             QByteArray("[1, 2, 3]"),
         }) {
        SCOPED_TRACE(original.toStdString());
        ASSERT_TRUE(QDir(folder_.filePath("vantrel")).removeRecursively());
        FakeClock clock;
        clock.setWallStart(Clock::WallTime{} + std::chrono::seconds(kStartUnixSeconds));
        writeContent(historyPath(), original);
        BatteryHealthLogger logger(historyPath(), clock);
        EXPECT_TRUE(logger.history().empty());

        // Nothing to record yet: the file is left as it is.
        logger.record(batteryWith(0, 90));
        EXPECT_EQ(contentOf(historyPath()), original);
        EXPECT_TRUE(asideFiles().isEmpty());

        logger.record(batteryWith(187, 88));
        ASSERT_EQ(asideFiles(), QStringList{"battery_history.json.corrupt-20250601T000000Z"});
        EXPECT_EQ(contentOf(folder_.filePath("vantrel/" + asideFiles().first())), original);
        EXPECT_EQ(BatteryHealthLogger(historyPath(), clock).history(),
                  (std::vector<BatterySnapshot>{{kStartHistorySeconds, 187, 88}}));

        // Later points replace the new file as usual and move nothing more aside.
        clock.advance(kWeek + 1s);
        logger.record(batteryWith(190, 87));
        EXPECT_EQ(asideFiles().size(), 1);
        EXPECT_EQ(BatteryHealthLogger(historyPath(), clock).history().size(), 2u);
    }
}

TEST_F(BatteryHealthLoggerTest, NeverReplacesAnEarlierMovedAsideFile) {
    writeContent(historyPath(), "first broken file");
    const QString earlier = historyPath() + ".corrupt-20250601T000000Z";
    writeContent(earlier, "an older one, same second");
    BatteryHealthLogger logger(historyPath(), clock_);
    logger.record(batteryWith(187, 88));
    EXPECT_EQ(contentOf(earlier), "an older one, same second");
    EXPECT_EQ(contentOf(earlier + "-1"), "first broken file");
}

TEST_F(BatteryHealthLoggerTest, AFolderInThePlaceOfTheFileIsMovedAsideToo) {
    writeContent(historyPath() + "/inside", "kept");
    BatteryHealthLogger logger(historyPath(), clock_);
    logger.record(batteryWith(187, 88));
    ASSERT_EQ(asideFiles().size(), 1);
    EXPECT_EQ(contentOf(folder_.filePath("vantrel/" + asideFiles().first() + "/inside")), "kept");
    EXPECT_EQ(BatteryHealthLogger(historyPath(), clock_).history().size(), 1u);
}

TEST_F(BatteryHealthLoggerTest, AWriteThatFailsKeepsThePointInMemory) {
    // A plain file where the folder should be: nothing can be written below it.
    writeContent(folder_.filePath("blocked"), "not a folder");
    BatteryHealthLogger logger(folder_.filePath("blocked/battery_history.json"), clock_);
    logger.record(batteryWith(187, 88));
    EXPECT_EQ(logger.history().size(), 1u);
    EXPECT_EQ(contentOf(folder_.filePath("blocked")), "not a folder");
}

TEST_F(BatteryHealthLoggerTest, DefaultPathIsInTheUsersDataFolder) {
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", folder_.path().toUtf8());
    EXPECT_EQ(defaultBatteryHistoryPath(), historyPath());
    if (saved.isNull()) {
        qunsetenv("XDG_DATA_HOME");
    } else {
        qputenv("XDG_DATA_HOME", saved);
    }
}

}  // namespace
