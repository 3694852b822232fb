#include "core/AppSettings.h"
#include "core/LoginItem.h"
#include "core/NotificationCenter.h"
#include "core/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace {

using enum MenuBarMetric;
using enum MetricDisplayMode;
using Items = QVector<MenuBarItemConfig>;

class FakeLoginItem final : public LoginItem {
public:
    FakeLoginItem() : LoginItem(QString(), QString()) {}
    bool setEnabled(bool enabled) override {
        requests.push_back(enabled);
        return succeeds;
    }
    std::vector<bool> requests;
    bool succeeds = true;
};

// Every property under its stored key, to compare whole stores at once.
QJsonObject propertiesOf(const AppSettings& s) {
    QJsonArray items;
    for (const auto& item : s.menuBarItems()) {
        items.append(QJsonObject{{"metric", rawValue(item.metric)},
                                 {"enabled", item.enabled},
                                 {"displayMode", rawValue(item.displayMode)}});
    }
    return {
        {"refreshInterval", s.refreshInterval()},
        {"launchAtLogin", s.launchAtLogin()},
        {"graphColor", s.graphColor()},
        {"menuBarItemConfigs", items},
        {"menuBarPillOpacity", s.menuBarPillOpacity()},
        {"menuBarColorCoded", s.menuBarColorCoded()},
        {"menuBarSparklineWidth", s.menuBarSparklineWidth()},
        {"compactShowCPU", s.compactShowCPU()},
        {"compactShowRAM", s.compactShowRAM()},
        {"compactShowNetwork", s.compactShowNetwork()},
        {"compactShowGPU", s.compactShowGPU()},
        {"compactShowDisk", s.compactShowDisk()},
        {"compactShowBattery", s.compactShowBattery()},
        {"compactShowProcesses", s.compactShowProcesses()},
        {"alertsEnabled", s.alertsEnabled()},
        {"alertCPUTempThreshold", s.alertCPUTempThreshold()},
        {"alertGPUTempThreshold", s.alertGPUTempThreshold()},
        {"alertSSDTempThreshold", s.alertSSDTempThreshold()},
        {"overlayShowCPU", s.overlayShowCPU()},
        {"overlayShowRAM", s.overlayShowRAM()},
        {"overlayShowNetwork", s.overlayShowNetwork()},
        {"overlayShowGPU", s.overlayShowGPU()},
        {"overlayShowDisk", s.overlayShowDisk()},
        {"overlayShowBattery", s.overlayShowBattery()},
        {"overlayShowProcesses", s.overlayShowProcesses()},
    };
}

QJsonObject firstRunProperties() {
    const QJsonArray legacyItems{
        QJsonObject{{"metric", "cpu"}, {"enabled", true}, {"displayMode", "textOnly"}},
        QJsonObject{{"metric", "ram"}, {"enabled", false}, {"displayMode", "textOnly"}},
        QJsonObject{{"metric", "network"}, {"enabled", false}, {"displayMode", "textOnly"}},
        QJsonObject{{"metric", "gpu"}, {"enabled", false}, {"displayMode", "textOnly"}},
        QJsonObject{{"metric", "battery"}, {"enabled", false}, {"displayMode", "iconAndText"}},
        QJsonObject{{"metric", "disk"}, {"enabled", false}, {"displayMode", "textOnly"}},
    };
    return {
        {"refreshInterval", 2.0},        {"launchAtLogin", false},
        {"graphColor", "purple"},        {"menuBarItemConfigs", legacyItems},
        {"menuBarPillOpacity", 0.85},    {"menuBarColorCoded", true},
        {"menuBarSparklineWidth", 30},   {"compactShowCPU", true},
        {"compactShowRAM", true},        {"compactShowNetwork", true},
        {"compactShowGPU", true},        {"compactShowDisk", true},
        {"compactShowBattery", true},    {"compactShowProcesses", true},
        {"alertsEnabled", false},        {"alertCPUTempThreshold", 95.0},
        {"alertGPUTempThreshold", 95.0}, {"alertSSDTempThreshold", 70.0},
        {"overlayShowCPU", true},        {"overlayShowRAM", true},
        {"overlayShowNetwork", true},    {"overlayShowGPU", true},
        {"overlayShowDisk", true},       {"overlayShowBattery", true},
        {"overlayShowProcesses", true},
    };
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SettingsStoreTest : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath(QStringLiteral("vantrel/settings.json")); }

    void storeFile(const QByteArray& text) {
        QDir().mkpath(dir_.filePath(QStringLiteral("vantrel")));
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    void storeObject(const QJsonObject& object) { storeFile(QJsonDocument(object).toJson()); }

    // Makes the store from whatever the file holds now, counting what it posts and announces.
    AppSettings& open() {
        settings_.reset();
        defaults_ = std::make_unique<UserDefaults>(path());
        settings_ = std::make_unique<AppSettings>(*defaults_, center_, loginItem_);
        QObject::connect(settings_.get(), &AppSettings::changed, [this] { ++changes_; });
        return *settings_;
    }

    QJsonObject fileContents() const { return QJsonDocument::fromJson(readAll(path())).object(); }

    QTemporaryDir dir_;
    NotificationCenter center_;
    FakeLoginItem loginItem_;
    QStringList posted_;
    int changes_ = 0;
    std::unique_ptr<UserDefaults> defaults_;
    std::unique_ptr<AppSettings> settings_;

    void SetUp() override {
        QObject::connect(&center_, &NotificationCenter::notified,
                         [this](const QString& name) { posted_.append(name); });
    }
};

TEST_F(SettingsStoreTest, FirstRunHasEveryDefaultAndWritesNothing) {
    const auto& settings = open();
    EXPECT_EQ(propertiesOf(settings), firstRunProperties());
    EXPECT_EQ(settings.accentColor(), (AccentColor{0.545, 0.361, 0.965}));
    EXPECT_FALSE(QFile::exists(path()));
    EXPECT_TRUE(posted_.isEmpty());
    EXPECT_TRUE(loginItem_.requests.empty());
}

// Each key's read-back is covered by the setter table; this is about side effects.
TEST_F(SettingsStoreTest, LoadingAnExistingFileWritesPostsAndRegistersNothing) {
    storeObject({{"refreshInterval", 5.0}, {"launchAtLogin", true}, {"graphColor", "Teal"}});
    const auto before = readAll(path());
    const auto& settings = open();
    EXPECT_EQ(settings.refreshInterval(), 5.0);
    EXPECT_TRUE(settings.launchAtLogin());
    EXPECT_EQ(settings.graphColor(), QStringLiteral("Teal"));
    EXPECT_EQ(readAll(path()), before);
    EXPECT_TRUE(posted_.isEmpty());
    EXPECT_EQ(changes_, 0);
    EXPECT_TRUE(loginItem_.requests.empty());
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
    });
    EXPECT_EQ(propertiesOf(open()), firstRunProperties());
}

TEST_F(SettingsStoreTest, OnlyAPositiveStoredIntervalIsTaken) {
    struct Case {
        QJsonValue stored;
        double expected;
    };
    const Case cases[] = {{-1.0, 2.0},         {0.0, 2.0},  {0.5, 0.5}, {7.25, 7.25}, {1e-3, 1e-3},
                          {QJsonValue(), 2.0}, {true, 2.0}, {"1", 2.0}, {-0.0, 2.0}};
    for (const auto& c : cases) {
        storeObject({{"refreshInterval", c.stored}});
        EXPECT_EQ(open().refreshInterval(), c.expected)
            << QJsonDocument(QJsonArray{c.stored}).toJson(QJsonDocument::Compact).constData();
    }
}

TEST_F(SettingsStoreTest, SparklineWidthMustBeAnIntegerThatFits) {
    const std::pair<QJsonValue, int> cases[] = {{25, 25},   {-3, -3},   {25.0, 25},
                                                {25.5, 30}, {1e12, 30}, {"25", 30}};
    for (const auto& [stored, expected] : cases) {
        storeObject({{"menuBarSparklineWidth", stored}});
        EXPECT_EQ(open().menuBarSparklineWidth(), expected) << stored.toDouble();
    }
}

TEST_F(SettingsStoreTest, EachSetterWritesItsKeyPostsAndAnnouncesOnlyAChange) {
    const auto reset = notification::historyDidReset;
    const auto redraw = notification::settingsDidChange;
    using Signal = void (AppSettings::*)();
    struct Case {
        const char* key;
        std::function<void(AppSettings&)> assign;
        QJsonValue stored;
        QString posts;  // empty: none
        Signal announces;
    };
    const Case cases[] = {
        {"refreshInterval", [](auto& s) { s.setRefreshInterval(5); }, 5.0, reset,
         &AppSettings::refreshIntervalChanged},
        {"graphColor", [](auto& s) { s.setGraphColor("pink"); }, "pink", redraw,
         &AppSettings::graphColorChanged},
        {"menuBarPillOpacity", [](auto& s) { s.setMenuBarPillOpacity(0.3); }, 0.3, redraw,
         &AppSettings::menuBarPillOpacityChanged},
        {"menuBarColorCoded", [](auto& s) { s.setMenuBarColorCoded(false); }, false, redraw,
         &AppSettings::menuBarColorCodedChanged},
        {"menuBarSparklineWidth", [](auto& s) { s.setMenuBarSparklineWidth(42); }, 42, redraw,
         &AppSettings::menuBarSparklineWidthChanged},
        {"compactShowCPU",
         [](auto& s) { s.setCompactShowCPU(false); },
         false,
         {},
         &AppSettings::compactShowCPUChanged},
        {"compactShowRAM",
         [](auto& s) { s.setCompactShowRAM(false); },
         false,
         {},
         &AppSettings::compactShowRAMChanged},
        {"compactShowNetwork",
         [](auto& s) { s.setCompactShowNetwork(false); },
         false,
         {},
         &AppSettings::compactShowNetworkChanged},
        {"compactShowGPU",
         [](auto& s) { s.setCompactShowGPU(false); },
         false,
         {},
         &AppSettings::compactShowGPUChanged},
        {"compactShowDisk",
         [](auto& s) { s.setCompactShowDisk(false); },
         false,
         {},
         &AppSettings::compactShowDiskChanged},
        {"compactShowBattery",
         [](auto& s) { s.setCompactShowBattery(false); },
         false,
         {},
         &AppSettings::compactShowBatteryChanged},
        {"compactShowProcesses",
         [](auto& s) { s.setCompactShowProcesses(false); },
         false,
         {},
         &AppSettings::compactShowProcessesChanged},
        {"alertsEnabled",
         [](auto& s) { s.setAlertsEnabled(true); },
         true,
         {},
         &AppSettings::alertsEnabledChanged},
        {"alertCPUTempThreshold",
         [](auto& s) { s.setAlertCPUTempThreshold(88); },
         88.0,
         {},
         &AppSettings::alertCPUTempThresholdChanged},
        {"alertGPUTempThreshold",
         [](auto& s) { s.setAlertGPUTempThreshold(87); },
         87.0,
         {},
         &AppSettings::alertGPUTempThresholdChanged},
        {"alertSSDTempThreshold",
         [](auto& s) { s.setAlertSSDTempThreshold(60); },
         60.0,
         {},
         &AppSettings::alertSSDTempThresholdChanged},
        {"overlayShowCPU",
         [](auto& s) { s.setOverlayShowCPU(false); },
         false,
         {},
         &AppSettings::overlayShowCPUChanged},
        {"overlayShowRAM",
         [](auto& s) { s.setOverlayShowRAM(false); },
         false,
         {},
         &AppSettings::overlayShowRAMChanged},
        {"overlayShowNetwork",
         [](auto& s) { s.setOverlayShowNetwork(false); },
         false,
         {},
         &AppSettings::overlayShowNetworkChanged},
        {"overlayShowGPU",
         [](auto& s) { s.setOverlayShowGPU(false); },
         false,
         {},
         &AppSettings::overlayShowGPUChanged},
        {"overlayShowDisk",
         [](auto& s) { s.setOverlayShowDisk(false); },
         false,
         {},
         &AppSettings::overlayShowDiskChanged},
        {"overlayShowBattery",
         [](auto& s) { s.setOverlayShowBattery(false); },
         false,
         {},
         &AppSettings::overlayShowBatteryChanged},
        {"overlayShowProcesses",
         [](auto& s) { s.setOverlayShowProcesses(false); },
         false,
         {},
         &AppSettings::overlayShowProcessesChanged},
        {"launchAtLogin",
         [](auto& s) { s.setLaunchAtLogin(true); },
         true,
         {},
         &AppSettings::launchAtLoginChanged},
    };
    for (const auto& c : cases) {
        QFile::remove(path());
        auto& settings = open();
        std::vector<Signal> announced;
        for (const auto& other : cases) {
            QObject::connect(&settings, other.announces, [&announced, signal = other.announces] {
                announced.push_back(signal);
            });
        }
        posted_.clear();
        changes_ = 0;
        // The second assignment repeats the value and does nothing.
        c.assign(settings);
        c.assign(settings);
        EXPECT_EQ(posted_, c.posts.isEmpty() ? QStringList() : QStringList{c.posts}) << c.key;
        EXPECT_EQ(changes_, 1) << c.key;
        EXPECT_TRUE(announced == std::vector<Signal>{c.announces}) << c.key;
        EXPECT_EQ(fileContents(), (QJsonObject{{c.key, c.stored}})) << c.key;
        auto expected = firstRunProperties();
        expected[c.key] = c.stored;
        EXPECT_EQ(propertiesOf(open()), expected) << c.key << " read back";
    }
    EXPECT_EQ(loginItem_.requests, std::vector<bool>{true});
}

TEST_F(SettingsStoreTest, AssigningTheHeldValueWritesPostsAndAnnouncesNothing) {
    auto& settings = open();
    settings.setRefreshInterval(2.0);
    settings.setRefreshInterval(-1);  // taken as 2 seconds: the value held
    settings.setGraphColor(QStringLiteral("purple"));
    settings.setMenuBarItems(settings.menuBarItems());
    settings.setLaunchAtLogin(false);
    EXPECT_TRUE(posted_.isEmpty());
    EXPECT_EQ(changes_, 0);
    EXPECT_FALSE(QFile::exists(path()));
    EXPECT_TRUE(loginItem_.requests.empty());
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
    EXPECT_EQ(posted_.count(notification::historyDidReset), 8);
}

TEST_F(SettingsStoreTest, AccentColorFollowsTheColourNameExactly) {
    const AccentColor purple{0.545, 0.361, 0.965};
    const std::pair<const char*, AccentColor> cases[] = {
        {"purple", purple},
        {"blue", {0.294, 0.478, 0.965}},
        {"green", {0.302, 0.753, 0.62}},
        {"teal", {0.247, 0.714, 0.812}},
        {"orange", {0.918, 0.545, 0.255}},
        {"pink", {0.918, 0.357, 0.545}},
        {"red", {0.89, 0.298, 0.298}},
        {"yellow", {0.91, 0.788, 0.278}},
        {"Purple", purple},
        {"Red", purple},
        {"magenta", purple},
        {"", purple},
    };
    auto& settings = open();
    for (const auto& [name, color] : cases) {
        settings.setGraphColor(QString::fromLatin1(name));
        EXPECT_EQ(settings.graphColor(), QString::fromLatin1(name));
        EXPECT_EQ(settings.accentColor(), color) << name;
    }
}

TEST_F(SettingsStoreTest, LaunchAtLoginKeepsTheRequestWhenRegistrationFails) {
    loginItem_.succeeds = false;
    auto& settings = open();
    settings.setLaunchAtLogin(true);
    EXPECT_TRUE(settings.launchAtLogin());
    EXPECT_EQ(fileContents().value("launchAtLogin"), true);
    settings.setLaunchAtLogin(false);
    EXPECT_EQ(loginItem_.requests, (std::vector<bool>{true, false}));
    EXPECT_TRUE(posted_.isEmpty());
}

TEST_F(SettingsStoreTest, LaunchAtLoginWritesAndRemovesTheAutostartEntry) {
    LoginItem autostart(QStringLiteral("/usr/bin/vantrel"),
                        dir_.filePath(QStringLiteral("autostart")));
    UserDefaults defaults(path());
    AppSettings settings(defaults, center_, autostart);
    settings.setLaunchAtLogin(true);
    EXPECT_TRUE(readAll(autostart.desktopFilePath()).contains("Exec=/usr/bin/vantrel\n"));
    settings.setLaunchAtLogin(false);
    EXPECT_FALSE(QFile::exists(autostart.desktopFilePath()));
}

TEST_F(SettingsStoreTest, AnUnreadableFileGivesDefaultsAndIsMovedAsideAtTheFirstChange) {
    const QByteArray broken = "{\"refreshInterval\": 5, \"graphColor\": ";
    storeFile(broken);
    auto& settings = open();
    EXPECT_EQ(propertiesOf(settings), firstRunProperties());
    EXPECT_EQ(readAll(path()), broken);

    settings.setAlertsEnabled(true);
    const auto aside = defaults_->movedAsidePath();
    ASSERT_TRUE(aside.has_value());
    EXPECT_TRUE(aside->startsWith(path() + QStringLiteral(".corrupt-")));
    EXPECT_EQ(readAll(*aside), broken);
    EXPECT_EQ(fileContents(), (QJsonObject{{"alertsEnabled", true}}));
    EXPECT_TRUE(open().alertsEnabled());
}

TEST_F(SettingsStoreTest, RowEditsSaveTheListAndRedraw) {
    auto& settings = open();
    settings.setMenuBarItemEnabled(2, true);
    EXPECT_EQ(settings.menuBarItems()[2], (MenuBarItemConfig{network, true, textOnly}));
    settings.setMenuBarItemDisplayMode(2, graphAndText);
    EXPECT_EQ(settings.menuBarItems()[2], (MenuBarItemConfig{network, true, graphAndText}));
    EXPECT_EQ(posted_.size(), 2);
    EXPECT_EQ(changes_, 2);

    posted_.clear();
    settings.moveMenuBarItemUp(2);
    // The reorder assigns (save, post) and then saves and posts once more.
    EXPECT_EQ(posted_, QStringList(2, notification::settingsDidChange));
    EXPECT_EQ(settings.menuBarItems()[1].metric, network);
    settings.moveMenuBarItemDown(1);
    EXPECT_EQ(settings.menuBarItems()[2].metric, network);
    EXPECT_EQ(posted_.size(), 4);

    const Items saved = settings.menuBarItems();
    const auto savedFile = readAll(path());
    posted_.clear();
    changes_ = 0;
    settings.moveMenuBarItemUp(0);
    settings.moveMenuBarItemDown(5);
    settings.setMenuBarItemEnabled(6, true);
    settings.setMenuBarItemDisplayMode(-1, graphOnly);
    EXPECT_EQ(settings.menuBarItems(), saved);
    EXPECT_TRUE(posted_.isEmpty());
    EXPECT_EQ(changes_, 0);
    EXPECT_EQ(readAll(path()), savedFile);
}

TEST_F(SettingsStoreTest, TheSavedListComesBackCompletedAtTheNextStart) {
    auto& settings = open();
    settings.moveMenuBarItemDown(0);
    settings.setMenuBarItemDisplayMode(0, iconAndText);
    const Items saved = settings.menuBarItems();
    ASSERT_EQ(saved.size(), 6);

    // Stored as a nested list of readable objects, not as an encoded byte string.
    const auto stored = fileContents().value("menuBarItemConfigs");
    ASSERT_TRUE(stored.isArray());
    EXPECT_EQ(stored.toArray().first().toObject(),
              (QJsonObject{{"metric", "ram"}, {"enabled", false}, {"displayMode", "iconAndText"}}));

    auto reloaded = open().menuBarItems();
    ASSERT_EQ(reloaded.size(), 9);
    EXPECT_EQ(reloaded.mid(0, 6), saved);
    EXPECT_EQ(reloaded.mid(6), (Items{{cpuTemp, false, textOnly},
                                      {gpuTemp, false, textOnly},
                                      {fanSpeed, false, textOnly}}));
}

TEST_F(SettingsStoreTest, AssignedListKeepsOneEntryPerMetric) {
    auto& settings = open();
    settings.setMenuBarItems(
        {{gpu, true, graphOnly}, {cpu, true, textOnly}, {gpu, false, textOnly}});
    const Items expected{{gpu, true, graphOnly}, {cpu, true, textOnly}};
    EXPECT_EQ(settings.menuBarItems(), expected);
    EXPECT_EQ(open().menuBarItems().mid(0, 2), expected);
}

}  // namespace
