#include "core/AppSettings.h"
#include "core/SettingsFile.h"
#include "core/SettingsFileTransfer.h"
#include "support/FileSizeLimit.h"
#include "support/QStringPrinter.h"
#include "support/SignalTally.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

using enum MetricDisplayMode;

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject objectIn(const QString& path) {
    return QJsonDocument::fromJson(contentOf(path)).object();
}

// One store over its own settings file, counting its announcements.
struct Store {
    explicit Store(const QString& folder)
        : path(folder + QStringLiteral("/settings.json")), defaults(path), settings(defaults) {}
    // Every announcement of the store.
    int changes() const { return tally.totalExcept({}); }
    QString path;
    SettingsFile defaults;
    AppSettings settings;
    SignalTally tally{settings};
};

// Every preference away from its default, and two stored shortcuts.
void changeEverything(Store& store) {
    AppSettings& s = store.settings;
    s.setRefreshInterval(5);
    s.setLaunchAtLogin(true);
    s.setGraphColor(QStringLiteral("teal"));
    // Every metric, in the reverse order, so that loading would not complete the list.
    QVector<StatusItemEntry> items;
    for (auto metric = allStatusMetrics.rbegin(); metric != allStatusMetrics.rend(); ++metric) {
        items.append({*metric, items.size() % 2 == 0, graphAndText});
    }
    s.setStatusItemEntries(items);
    s.setStatusItemPillOpacity(0.4);
    s.setStatusItemColorCoded(false);
    s.setStatusItemSparklineWidth(44);
    s.setStatusItemMode(StatusItemMode::strip);
    s.setStatusItemShape(StatusItemShape::square);
    s.setStatusStripPosition(QPoint(-30, 900));
    for (auto setter :
         {&AppSettings::setCompactShowCpu, &AppSettings::setCompactShowRam,
          &AppSettings::setCompactShowNetwork, &AppSettings::setCompactShowGpu,
          &AppSettings::setCompactShowDisk, &AppSettings::setCompactShowBattery,
          &AppSettings::setCompactShowProcesses, &AppSettings::setDashboardShowCpu,
          &AppSettings::setDashboardShowRam, &AppSettings::setDashboardShowNetwork,
          &AppSettings::setDashboardShowGpu, &AppSettings::setDashboardShowDisk,
          &AppSettings::setDashboardShowBattery, &AppSettings::setDashboardShowProcesses}) {
        (s.*setter)(false);
    }
    s.setAlertsEnabled(true);
    s.setAlertCpuTempThreshold(81.5);
    s.setAlertGpuTempThreshold(77);
    s.setAlertSsdTempThreshold(55);
    s.setAlertSustainSeconds(30);
    s.setSensorName(QStringLiteral("platform_nct6775_656/fan2"), QStringLiteral("Rear fan"));
    s.setSensorHidden(QStringLiteral("platform_nct6775_656/in3"), true);
    store.defaults.set(QStringLiteral("KeyboardShortcuts_toggleOverlay"),
                       QStringLiteral(R"({"carbonKeyCode":111,"carbonModifiers":72})"));
    store.defaults.set(QStringLiteral("KeyboardShortcuts_openSettings"), false);
}

class SettingsFileTransferTest : public ::testing::Test {
protected:
    QString exported() const { return dir_.filePath(QStringLiteral("exported.json")); }
    QString written(const QByteArray& text, const QString& name = "import.json") const {
        const QString path = dir_.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text);
        return path;
    }
    QTemporaryDir dir_;
    QTemporaryDir sourceDir_;
    QTemporaryDir targetDir_;
};

TEST_F(SettingsFileTransferTest, ExportThenImportGivesTheSameSettings) {
    Store source(sourceDir_.path());
    changeEverything(source);
    // Every preference and both shortcuts are in the source's own file now.
    ASSERT_EQ(objectIn(source.path).size(), 33);
    ASSERT_TRUE(exportSettingsFile(source.settings, source.defaults, exported()).ok());
    EXPECT_EQ(objectIn(exported()), objectIn(source.path));

    Store target(targetDir_.path());
    target.settings.setGraphColor(QStringLiteral("red"));
    const SettingsFileResult result =
        importSettingsFile(target.settings, target.defaults, exported());
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_TRUE(result.ignored.isEmpty()) << result.ignored.front().key.toStdString();
    EXPECT_EQ(objectIn(target.path), objectIn(source.path));
    EXPECT_EQ(target.settings.statusStripPosition(), QPoint(-30, 900));

    // The same file again changes nothing at all.
    EXPECT_EQ(result.changedShortcuts, (QStringList{"toggleOverlay", "openSettings"}));
    const int changes = target.changes();
    const SettingsFileResult again =
        importSettingsFile(target.settings, target.defaults, exported());
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(target.changes(), changes);
    EXPECT_TRUE(again.changedShortcuts.isEmpty());
}

TEST_F(SettingsFileTransferTest, AnExportCarriesTheValuesOfPreferencesNeverChanged) {
    Store fresh(sourceDir_.path());
    ASSERT_TRUE(exportSettingsFile(fresh.settings, fresh.defaults, exported()).ok());
    Store target(targetDir_.path());
    changeEverything(target);
    ASSERT_TRUE(importSettingsFile(target.settings, target.defaults, exported()).ok());
    EXPECT_EQ(target.settings.refreshInterval(), 2.0);
    EXPECT_EQ(target.settings.statusItemShape(), StatusItemShape::automatic);
    EXPECT_TRUE(target.settings.dashboardShowProcesses());
    EXPECT_EQ(target.settings.alertSustainSeconds(), 0);
    EXPECT_TRUE(target.settings.sensorNames().isEmpty());
    EXPECT_TRUE(target.settings.hiddenSensors().isEmpty());
    // The strip's place and the shortcuts have no value to carry until they are set.
    EXPECT_EQ(target.settings.statusStripPosition(), QPoint(-30, 900));
    EXPECT_EQ(target.defaults.value(QStringLiteral("KeyboardShortcuts_openSettings")),
              QJsonValue(false));
}

TEST_F(SettingsFileTransferTest, AFileThatIsNoSettingsObjectChangesNothing) {
    Store target(targetDir_.path());
    target.settings.setGraphColor(QStringLiteral("red"));
    const QByteArray before = contentOf(target.path);
    QDir(dir_.path()).mkdir(QStringLiteral("folder"));
    const struct {
        const char* what;
        QString path;
    } cases[] = {
        {"missing", dir_.filePath(QStringLiteral("missing.json"))},
        {"a folder", dir_.filePath(QStringLiteral("folder"))},
        {"too large",
         written("{\"graphColor\": \"" + QByteArray(settingsFileSizeLimit, 'a') + "\"}", "1")},
        {"empty", written("", "2")},
        {"not JSON", written(R"({"graphColor": "teal",)", "3")},
        {"a JSON list", written(R"([{"graphColor": "teal"}])", "4")},
        {"text", written(R"("graphColor")", "5")},
    };
    for (const auto& broken : cases) {
        const int changes = target.changes();
        const SettingsFileResult result =
            importSettingsFile(target.settings, target.defaults, broken.path);
        EXPECT_FALSE(result.ok()) << broken.what;
        EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(broken.path)))
            << result.error.toStdString();
        EXPECT_EQ(target.changes(), changes) << broken.what;
        EXPECT_EQ(contentOf(target.path), before) << broken.what;
    }
}

TEST_F(SettingsFileTransferTest, OnlyKnownKeysOfTheRightTypeAreApplied) {
    Store target(targetDir_.path());
    const QVector<StatusItemEntry> items = target.settings.statusItemEntries();
    const QString path = written(R"({
        "refreshInterval": -1, "launchAtLogin": 1, "graphColor": "pink",
        "menuBarItemConfigs": [{"metric": "cpu", "enabled": "yes", "displayMode": "textOnly"}],
        "menuBarPillOpacity": "0.5", "menuBarColorCoded": false, "menuBarSparklineWidth": 40.5,
        "statusItemMode": "Strip", "statusItemShape": "wide",
        "statusStripPosition": {"x": 1.5, "y": 2}, "alertSSDTempThreshold": 61,
        "KeyboardShortcuts_toggleCompact": true, "KeyboardShortcuts_toggleOverlay": false,
        "KeyboardShortcuts_somethingElse": "{}", "showCPUInMenuBar": false, "theme": "dark"})");
    const SettingsFileResult result = importSettingsFile(target.settings, target.defaults, path);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    QStringList ignoredKeys;
    for (const IgnoredSetting& ignored : result.ignored) {
        ignoredKeys.append(ignored.key);
        EXPECT_FALSE(ignored.reason.isEmpty()) << ignored.key.toStdString();
    }
    EXPECT_EQ(ignoredKeys,
              (QStringList{"KeyboardShortcuts_somethingElse", "KeyboardShortcuts_toggleCompact",
                           "launchAtLogin", "menuBarItemConfigs", "menuBarPillOpacity",
                           "menuBarSparklineWidth", "refreshInterval", "showCPUInMenuBar",
                           "statusItemMode", "statusStripPosition", "theme"}));
    EXPECT_EQ(result.ignored.last(), (IgnoredSetting{"theme", "unknown setting"}));
    EXPECT_EQ(objectIn(target.path), (QJsonObject{{"graphColor", "pink"},
                                                  {"menuBarColorCoded", false},
                                                  {"statusItemShape", "wide"},
                                                  {"alertSSDTempThreshold", 61},
                                                  {"KeyboardShortcuts_toggleOverlay", false}}));
    EXPECT_EQ(result.changedShortcuts, QStringList{"toggleOverlay"});
    EXPECT_EQ(target.settings.refreshInterval(), 2.0);
    EXPECT_EQ(target.settings.statusItemEntries(), items);
}

// The Settings window offers 1, 2 and 5 seconds and refuses a shortcut of typing keys; an
// import once set 1e-9 s (a spinning poll loop) and grabbed plain "a" and Return.
TEST_F(SettingsFileTransferTest, AValueTheWindowWouldRefuseIsIgnoredWithWhy) {
    const QString compact = QStringLiteral("KeyboardShortcuts_toggleCompact");
    const struct {
        QString key;
        QJsonValue value;
        const char* refusal;  // nullptr: applied
    } cases[] = {
        {"refreshInterval", 5.0, nullptr},
        {"refreshInterval", 1e-9,
         "1e-09 seconds is not offered; the choices are 1 second, "
         "2 seconds or 5 seconds"},
        {"refreshInterval", 3.0,
         "3 seconds is not offered; the choices are 1 second, 2 "
         "seconds or 5 seconds"},
        {compact, R"({"carbonKeyCode":97,"carbonModifiers":12})", nullptr},
        {compact, false, nullptr},
        {compact, R"({"carbonKeyCode":97,"carbonModifiers":0})",
         "the key combination needs Ctrl, Alt or Super"},
        {compact, R"({"carbonKeyCode":65293,"carbonModifiers":0})",
         "the key combination needs Ctrl, Alt or Super"},
        {compact, R"({"carbonKeyCode":97,"carbonModifiers":1})",
         "the key combination needs Ctrl, Alt or Super"},
        {compact, "Super+Shift+P", "not a key combination"},
        {compact, true, "neither a key combination nor false"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.toVariant().toString().toStdString());
        Store target(targetDir_.path());
        const QByteArray before = contentOf(target.path);
        const SettingsFileResult result =
            importSettingsFile(target.settings, target.defaults,
                               written(QJsonDocument(QJsonObject{{c.key, c.value}}).toJson()));
        ASSERT_TRUE(result.ok());
        if (c.refusal) {
            EXPECT_EQ(result.ignored, (QVector<IgnoredSetting>{{c.key, c.refusal}}));
            EXPECT_EQ(contentOf(target.path), before);
            EXPECT_TRUE(result.changedShortcuts.isEmpty());
        } else {
            EXPECT_TRUE(result.ignored.isEmpty());
            EXPECT_EQ(objectIn(target.path).value(c.key), c.value);
        }
        QFile::remove(target.path);
    }
}

TEST_F(SettingsFileTransferTest, AnExportThatCannotBeWrittenLeavesNoFile) {
    Store source(sourceDir_.path());
    changeEverything(source);
    // As root no permission bit stops a write: /proc takes no new file from anyone.
    for (const QString& target : {dir_.filePath(QStringLiteral("missing/settings.json")),
                                  QStringLiteral("/proc/vantrel-settings.json")}) {
        const SettingsFileResult result =
            exportSettingsFile(source.settings, source.defaults, target);
        EXPECT_FALSE(result.ok()) << target.toStdString();
        EXPECT_TRUE(result.error.contains(target)) << result.error.toStdString();
        EXPECT_FALSE(QFile::exists(target));
    }
    // A full disk in the middle of the write keeps the earlier export whole.
    QFile earlier(exported());
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("{}");
    earlier.close();
    SettingsFileResult result;
    {
        const FileSizeLimit fullDisk(64);
        result = exportSettingsFile(source.settings, source.defaults, exported());
    }
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(contentOf(exported()), "{}");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"exported.json"});
}

}  // namespace
