#include "core/AppSettings.h"
#include "core/SettingsFile.h"
#include "core/SettingsTable.h"
#include "support/SignalTally.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <vector>

namespace {

using enum StatusMetric;
using enum MetricDisplayMode;
using Items = QVector<StatusItemEntry>;

// Every property under its stored key, to compare whole stores at once.
QJsonObject propertiesOf(const AppSettings& s) {
    QJsonArray items;
    for (const auto& item : s.statusItemEntries()) {
        items.append(QJsonObject{{"metric", rawValue(item.metric)},
                                 {"enabled", item.enabled},
                                 {"displayMode", rawValue(item.displayMode)}});
    }
    const auto position = s.statusStripPosition();
    QJsonObject names;
    for (const auto& [identity, name] : s.sensorNames().asKeyValueRange()) {
        names.insert(identity, name);
    }
    return {
        {"refreshInterval", s.refreshInterval()},
        {"launchAtLogin", s.launchAtLogin()},
        {"graphColor", s.graphColor()},
        {"menuBarItemConfigs", items},
        {"menuBarPillOpacity", s.statusItemPillOpacity()},
        {"menuBarColorCoded", s.statusItemColorCoded()},
        {"menuBarSparklineWidth", s.statusItemSparklineWidth()},
        {"statusItemMode", rawValue(s.statusItemMode())},
        {"statusItemShape", rawValue(s.statusItemShape())},
        {"statusStripPosition",
         position ? QJsonObject{{"x", position->x()}, {"y", position->y()}} : QJsonValue()},
        {"compactShowCPU", s.compactShowCpu()},
        {"compactShowRAM", s.compactShowRam()},
        {"compactShowNetwork", s.compactShowNetwork()},
        {"compactShowGPU", s.compactShowGpu()},
        {"compactShowDisk", s.compactShowDisk()},
        {"compactShowBattery", s.compactShowBattery()},
        {"compactShowProcesses", s.compactShowProcesses()},
        {"alertsEnabled", s.alertsEnabled()},
        {"alertCPUTempThreshold", s.alertCpuTempThreshold()},
        {"alertGPUTempThreshold", s.alertGpuTempThreshold()},
        {"alertSSDTempThreshold", s.alertSsdTempThreshold()},
        {"overlayShowCPU", s.dashboardShowCpu()},
        {"overlayShowRAM", s.dashboardShowRam()},
        {"overlayShowNetwork", s.dashboardShowNetwork()},
        {"overlayShowGPU", s.dashboardShowGpu()},
        {"overlayShowDisk", s.dashboardShowDisk()},
        {"overlayShowBattery", s.dashboardShowBattery()},
        {"overlayShowProcesses", s.dashboardShowProcesses()},
        {"sensorNames", names},
        {"hiddenSensors", QJsonArray::fromStringList(s.hiddenSensors())},
        {"alertSustainSeconds", s.alertSustainSeconds()},
    };
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SettingsStoreTest : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath(QStringLiteral("vantrel/settings.json")); }

    void storeObject(const QJsonObject& object) {
        QDir().mkpath(dir_.filePath(QStringLiteral("vantrel")));
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(object).toJson());
    }

    // Makes the store from whatever the file holds now, counting what it posts and announces.
    AppSettings& open() {
        settings_.reset();
        defaults_ = std::make_unique<SettingsFile>(path());
        settings_ = std::make_unique<AppSettings>(*defaults_);
        tally_ = std::make_unique<SignalTally>(*settings_);
        QObject::connect(settings_.get(), &AppSettings::statusItemLookChanged,
                         [this] { posted_.append(QString::fromLatin1(lookChanged)); });
        return *settings_;
    }

    QJsonObject fileContents() const { return QJsonDocument::fromJson(readAll(path())).object(); }

    // What a store reading no file at all holds.
    static QJsonObject defaults() {
        QTemporaryDir empty;
        SettingsFile none(empty.filePath(QStringLiteral("settings.json")));
        return propertiesOf(AppSettings(none));
    }

    QTemporaryDir dir_;
    static constexpr const char* lookChanged = "statusItemLookChanged";
    // Every statusItemLookChanged, by name.
    QStringList posted_;
    std::unique_ptr<SignalTally> tally_;
    // The per-property announcements since the store was opened or the tally cleared.
    int changes() const { return tally_->totalExcept(lookChanged); }
    std::unique_ptr<SettingsFile> defaults_;
    std::unique_ptr<AppSettings> settings_;
};

// Each key's read-back is covered by the setter table; this is about side effects.
TEST_F(SettingsStoreTest, LoadingAnExistingFileWritesAndPostsNothing) {
    storeObject({{"refreshInterval", 5.0}, {"launchAtLogin", true}, {"graphColor", "Teal"}});
    const auto before = readAll(path());
    const auto& settings = open();
    EXPECT_EQ(settings.refreshInterval(), 5.0);
    EXPECT_TRUE(settings.launchAtLogin());
    EXPECT_EQ(settings.graphColor(), QStringLiteral("Teal"));
    EXPECT_EQ(readAll(path()), before);
    EXPECT_TRUE(posted_.isEmpty());
    EXPECT_EQ(changes(), 0);
}

TEST_F(SettingsStoreTest, ValuesOfTheWrongTypeFallBackKeyByKey) {
    storeObject({
        {"refreshInterval", "5"},
        {"launchAtLogin", 1},
        {"graphColor", 3},
        {"menuBarItemConfigs", "not a list"},
        {"menuBarPillOpacity", "0.4"},
        {"menuBarColorCoded", 0},
        {"menuBarSparklineWidth", 30.5},
        {"compactShowCPU", "false"},
        {"compactShowRAM", 0},
        {"compactShowNetwork", QJsonValue::Null},
        {"compactShowGPU", QJsonArray{false}},
        {"compactShowDisk", QJsonObject{}},
        {"compactShowBattery", 0.0},
        {"compactShowProcesses", "no"},
        {"alertsEnabled", "true"},
        {"alertCPUTempThreshold", true},
        {"alertGPUTempThreshold", "80"},
        {"alertSSDTempThreshold", QJsonValue::Null},
        {"overlayShowCPU", 0},
        {"overlayShowRAM", "false"},
        {"overlayShowNetwork", QJsonValue::Null},
        {"overlayShowGPU", 0},
        {"overlayShowDisk", "off"},
        {"overlayShowBattery", QJsonArray{}},
        {"overlayShowProcesses", 0},
        {"statusItemMode", "Strip"},
        {"statusItemShape", 1},
        {"statusStripPosition", QJsonObject{{"x", "10"}, {"y", 4}}},
        {"sensorNames", QJsonObject{{"hwmon0/temp1", 5}}},
        {"hiddenSensors", "hwmon0/temp1"},
        {"alertSustainSeconds", "10"},
    });
    EXPECT_EQ(propertiesOf(open()), defaults());
}

// A hand edit or an older version may hold what the Settings window never allows: 1e-9 s made
// the poll loop spin, a plain key grabbed it from every other program.
TEST_F(SettingsStoreTest, AStoredValueTheWindowWouldRefuseIsLeftForTheDefaultAndLogged) {
    const struct {
        const char* key;
        QJsonValue stored;
        double interval;  // as loaded
        bool ignored;
    } cases[] = {
        {"refreshInterval", 1.0, 1.0, false},
        {"refreshInterval", 5.0, 5.0, false},
        {"refreshInterval", 1e-9, 2.0, true},
        {"refreshInterval", 0.5, 2.0, true},
        {"refreshInterval", 3.0, 2.0, true},
        {"refreshInterval", -1.0, 2.0, true},
        {"refreshInterval", "1", 2.0, true},
        {"KeyboardShortcuts_toggleCompact", R"({"carbonKeyCode":97,"carbonModifiers":0})", 2.0,
         true},
        {"KeyboardShortcuts_toggleCompact", R"({"carbonKeyCode":65293,"carbonModifiers":1})", 2.0,
         true},
        {"KeyboardShortcuts_toggleCompact", R"({"carbonKeyCode":97,"carbonModifiers":4})", 2.0,
         false},
        {"KeyboardShortcuts_toggleCompact", false, 2.0, false},
    };
    for (const auto& c : cases) {
        const QString trace = QString::fromLatin1(c.key) + QLatin1Char(' ') +
                              QString::fromUtf8(QJsonDocument(QJsonArray{c.stored}).toJson());
        SCOPED_TRACE(trace.toStdString());
        storeObject({{c.key, c.stored}});
        const QByteArray before = readAll(path());
        testing::internal::CaptureStderr();
        const auto& settings = open();
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(settings.refreshInterval(), c.interval);
        ASSERT_EQ(settings.ignoredAtLoad().size(), c.ignored ? 1 : 0);
        EXPECT_EQ(log.find(c.key) != std::string::npos, c.ignored) << log;
        if (c.ignored) {
            EXPECT_EQ(settings.ignoredAtLoad().front().key, QString::fromLatin1(c.key));
        }
        EXPECT_EQ(readAll(path()), before);  // the file keeps what the user wrote
    }
}

TEST_F(SettingsStoreTest, SparklineWidthMustBeAnIntegerThatFits) {
    const std::pair<QJsonValue, int> cases[] = {{25, 25},   {-3, -3},   {25.0, 25},
                                                {25.5, 30}, {1e12, 30}, {"25", 30}};
    for (const auto& [stored, expected] : cases) {
        storeObject({{"menuBarSparklineWidth", stored}});
        EXPECT_EQ(open().statusItemSparklineWidth(), expected) << stored.toDouble();
    }
}

// The name of the change signal the settings table gives the setting stored under `key`.
QByteArray changeSignalOf(const char* key) {
    for (const SettingDeclaration& entry : settingsTable()) {
        if (entry.key == QLatin1String(key)) {
            return QMetaMethod::fromSignal(entry.changed).name();
        }
    }
    return {};
}

TEST_F(SettingsStoreTest, EachSetterWritesItsKeyAndAnnouncesOnlyAChange) {
    using S = AppSettings;
    const QString redraw = QString::fromLatin1(lookChanged);
    const struct {
        const char* key;  // the stored key, whose table entry names the change signal
        std::function<void(S&)> assign;
        QJsonValue stored;
        QString posts = {};  // empty: none
    } cases[] = {
        {"refreshInterval", [](S& s) { s.setRefreshInterval(5); }, 5.0},
        {"graphColor", [](S& s) { s.setGraphColor("pink"); }, "pink", redraw},
        {"menuBarPillOpacity", [](S& s) { s.setStatusItemPillOpacity(0.3); }, 0.3, redraw},
        {"menuBarColorCoded", [](S& s) { s.setStatusItemColorCoded(false); }, false, redraw},
        {"menuBarSparklineWidth", [](S& s) { s.setStatusItemSparklineWidth(42); }, 42, redraw},
        {"statusItemMode", [](S& s) { s.setStatusItemMode(StatusItemMode::trayAndStrip); },
         "trayAndStrip", redraw},
        {"statusItemShape", [](S& s) { s.setStatusItemShape(StatusItemShape::square); }, "square",
         redraw},
        {"statusStripPosition",
         [](S& s) {
             s.setStatusStripPosition({-40, 1200});
         },
         QJsonObject{{"x", -40}, {"y", 1200}}},
        {"compactShowCPU", [](S& s) { s.setCompactShowCpu(false); }, false},
        {"compactShowRAM", [](S& s) { s.setCompactShowRam(false); }, false},
        {"compactShowNetwork", [](S& s) { s.setCompactShowNetwork(false); }, false},
        {"compactShowGPU", [](S& s) { s.setCompactShowGpu(false); }, false},
        {"compactShowDisk", [](S& s) { s.setCompactShowDisk(false); }, false},
        {"compactShowBattery", [](S& s) { s.setCompactShowBattery(false); }, false},
        {"compactShowProcesses", [](S& s) { s.setCompactShowProcesses(false); }, false},
        {"alertsEnabled", [](S& s) { s.setAlertsEnabled(true); }, true},
        {"alertCPUTempThreshold", [](S& s) { s.setAlertCpuTempThreshold(88); }, 88.0},
        {"alertGPUTempThreshold", [](S& s) { s.setAlertGpuTempThreshold(87); }, 87.0},
        {"alertSSDTempThreshold", [](S& s) { s.setAlertSsdTempThreshold(60); }, 60.0},
        {"overlayShowCPU", [](S& s) { s.setDashboardShowCpu(false); }, false},
        {"overlayShowRAM", [](S& s) { s.setDashboardShowRam(false); }, false},
        {"overlayShowNetwork", [](S& s) { s.setDashboardShowNetwork(false); }, false},
        {"overlayShowGPU", [](S& s) { s.setDashboardShowGpu(false); }, false},
        {"overlayShowDisk", [](S& s) { s.setDashboardShowDisk(false); }, false},
        {"overlayShowBattery", [](S& s) { s.setDashboardShowBattery(false); }, false},
        {"overlayShowProcesses", [](S& s) { s.setDashboardShowProcesses(false); }, false},
        {"launchAtLogin", [](S& s) { s.setLaunchAtLogin(true); }, true},
        {"sensorNames", [](S& s) { s.setSensorName("platform_it87_552/fan1", "CPU fan"); },
         QJsonObject{{"platform_it87_552/fan1", "CPU fan"}}},
        {"hiddenSensors", [](S& s) { s.setSensorHidden("platform_it87_552/in4", true); },
         QJsonArray{"platform_it87_552/in4"}},
        {"alertSustainSeconds", [](S& s) { s.setAlertSustainSeconds(30); }, 30},
    };
    const QJsonObject initial = defaults();
    for (const auto& c : cases) {
        QFile::remove(path());
        auto& settings = open();
        // One spy on every per-property signal: only the assigned property's may fire.
        std::map<QByteArray, std::unique_ptr<QSignalSpy>> spies;
        const QMetaObject& meta = S::staticMetaObject;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            const QMetaMethod method = meta.method(i);
            if (method.methodType() == QMetaMethod::Signal && method.name().endsWith("Changed") &&
                method.name() != lookChanged) {
                spies[method.name()] = std::make_unique<QSignalSpy>(&settings, method);
            }
        }
        ASSERT_EQ(spies.size(),
                  std::size(cases) + 1);  // and statusItemEntriesChanged, tested below
        posted_.clear();
        tally_->clear();
        // The second assignment repeats the value and does nothing.
        c.assign(settings);
        c.assign(settings);
        EXPECT_EQ(posted_, c.posts.isEmpty() ? QStringList() : QStringList{c.posts}) << c.key;
        EXPECT_EQ(changes(), 1) << c.key;
        for (const auto& [name, spy] : spies) {
            EXPECT_EQ(spy->count(), name == changeSignalOf(c.key) ? 1 : 0)
                << c.key << " announced by " << name.constData();
        }
        EXPECT_EQ(fileContents(), (QJsonObject{{c.key, c.stored}})) << c.key;
        auto expected = initial;
        expected[c.key] = c.stored;
        EXPECT_EQ(propertiesOf(open()), expected) << c.key << " read back";
    }
}

// Also the first run: nothing is written until something changes.
TEST_F(SettingsStoreTest, AssigningTheHeldValueWritesPostsAndAnnouncesNothing) {
    auto& settings = open();
    settings.setRefreshInterval(2.0);
    settings.setRefreshInterval(-1);  // taken as 2 seconds: the value held
    settings.setGraphColor(QStringLiteral("purple"));
    settings.setStatusItemEntries(settings.statusItemEntries());
    settings.setLaunchAtLogin(false);
    EXPECT_TRUE(posted_.isEmpty());
    EXPECT_EQ(changes(), 0);
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(SettingsStoreTest, AnIntervalThatCannotDriveThePollLoopBecomesTwoSeconds) {
    auto& settings = open();
    for (double seconds : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()}) {
        settings.setRefreshInterval(5.0);
        settings.setRefreshInterval(seconds);
        EXPECT_EQ(settings.refreshInterval(), 2.0) << seconds;
        EXPECT_EQ(fileContents().value("refreshInterval"), 2.0) << seconds;
    }
    EXPECT_EQ(tally_->count("refreshIntervalChanged"), 8);
}

TEST_F(SettingsStoreTest, RowEditsSaveTheListAndRedraw) {
    auto& settings = open();
    QSignalSpy itemsChanged(&settings, &AppSettings::statusItemEntriesChanged);
    settings.setStatusItemEnabled(2, true);
    EXPECT_EQ(settings.statusItemEntries()[2], (StatusItemEntry{network, true, textOnly}));
    settings.setStatusItemDisplayMode(2, graphAndText);
    EXPECT_EQ(settings.statusItemEntries()[2], (StatusItemEntry{network, true, graphAndText}));
    EXPECT_EQ(posted_.size(), 2);
    EXPECT_EQ(changes(), 2);
    EXPECT_EQ(itemsChanged.count(), 2);

    posted_.clear();
    settings.moveStatusItemUp(2);
    // The reorder assigns (save, post) and then saves and posts once more.
    EXPECT_EQ(posted_, QStringList(2, QString::fromLatin1(lookChanged)));
    EXPECT_EQ(settings.statusItemEntries()[1].metric, network);
    settings.moveStatusItemDown(1);
    EXPECT_EQ(settings.statusItemEntries()[2].metric, network);
    EXPECT_EQ(posted_.size(), 4);

    const Items saved = settings.statusItemEntries();
    const auto savedFile = readAll(path());
    posted_.clear();
    tally_->clear();
    settings.moveStatusItemUp(0);
    settings.moveStatusItemDown(5);
    settings.setStatusItemEnabled(6, true);
    settings.setStatusItemDisplayMode(-1, graphOnly);
    EXPECT_EQ(settings.statusItemEntries(), saved);
    EXPECT_TRUE(posted_.isEmpty());
    EXPECT_EQ(changes(), 0);
    EXPECT_EQ(readAll(path()), savedFile);
}

TEST_F(SettingsStoreTest, TheSavedListComesBackCompletedAtTheNextStart) {
    auto& settings = open();
    settings.moveStatusItemDown(0);
    settings.setStatusItemDisplayMode(0, iconAndText);
    const Items saved = settings.statusItemEntries();
    ASSERT_EQ(saved.size(), 6);

    // Stored as a nested list of readable objects, not as an encoded byte string.
    const auto stored = fileContents().value("menuBarItemConfigs");
    ASSERT_TRUE(stored.isArray());
    EXPECT_EQ(stored.toArray().first().toObject(),
              (QJsonObject{{"metric", "ram"}, {"enabled", false}, {"displayMode", "iconAndText"}}));

    auto reloaded = open().statusItemEntries();
    ASSERT_EQ(reloaded.size(), 9);
    EXPECT_EQ(reloaded.mid(0, 6), saved);
    EXPECT_EQ(reloaded.mid(6), (Items{{cpuTemp, false, textOnly},
                                      {gpuTemp, false, textOnly},
                                      {fanSpeed, false, textOnly}}));
}

TEST_F(SettingsStoreTest, AssignedListKeepsOneEntryPerMetric) {
    auto& settings = open();
    settings.setStatusItemEntries(
        {{gpu, true, graphOnly}, {cpu, true, textOnly}, {gpu, false, textOnly}});
    const Items expected{{gpu, true, graphOnly}, {cpu, true, textOnly}};
    EXPECT_EQ(settings.statusItemEntries(), expected);
    EXPECT_EQ(open().statusItemEntries().mid(0, 2), expected);
}

}  // namespace
