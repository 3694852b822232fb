#include "app/shell/SettingsWindowMaker.h"
#include "core/TextFormat.h"
#include "recording/CsvRecorder.h"
#include "shortcuts/AppShortcutNames.h"
#include "shortcuts/FakeHotKeys.h"
#include "shortcuts/KeyboardShortcuts.h"
#include "shortcuts/ShortcutRecorder.h"
#include "support/MonitorHarness.h"
#include "support/QStringPrinter.h"
#include "views/settings/SettingsFileControls.h"
#include "views/settings/SettingsForm.h"
#include "views/settings/SettingsView.h"
#include "views/settings/SettingsWindow.h"
#include "views/settings/StatusMetricList.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <iterator>

namespace {

using BoolGetter = bool (AppSettings::*)() const;

// The window over a monitor with the real CSV recorder and stand-in hot keys; the dialogs
// answer with `savePath` and `openPath`.
class SettingsViewTest : public ::testing::Test {
protected:
    SettingsViewTest()
        : harness([](Clock& clock) { return std::make_unique<CsvRecorder>(clock); }),
          shortcuts(harness.defaults(), std::make_unique<FakeHotKeys>()),
          window(harness.settings, *harness.monitor, harness.defaults(), &shortcuts, actions()),
          view(*window.view()) {
        FileDialogs dialogs;
        dialogs.save = [this](QWidget*, const QString&, const QString& proposed, const QString&,
                              const QString&) {
            proposedName = proposed;
            return savePath;
        };
        dialogs.open = [this](QWidget*, const QString&, const QString&) { return openPath; };
        view.setFileDialogs(dialogs);
        QObject::connect(harness.monitor.get(), &SystemMonitor::historyReset,
                         [this] { posted.append(QStringLiteral("historyReset")); });
        QObject::connect(&harness.settings, &AppSettings::statusItemLookChanged,
                         [this] { posted.append(QStringLiteral("statusItemLookChanged")); });
    }

    DataExportActions actions() {
        DataExportActions made = dataExportActions(*harness.monitor, harness.clock);
        made.showFile = [this](const QString& path) { shown.append(path); };
        return made;
    }

    template <typename T>
    T& control(const char* name) {
        T* found = view.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QStringList storedOrder() const {
        QStringList order;
        for (const StatusItemEntry& item : harness.settings.statusItemEntries()) {
            order.append(item.id());
        }
        return order;
    }

    QTemporaryDir dir;
    MonitorHarness harness;
    KeyboardShortcuts shortcuts;
    SettingsWindow window;
    SettingsView& view;
    QString savePath, openPath, proposedName;
    QStringList posted;
    QStringList shown;  // files shown in the file manager
};

TEST_F(SettingsViewTest, TheWindowHoldsEverySectionInOrderAndNamesEveryControl) {
    EXPECT_EQ(window.windowTitle(), "Vantrel Settings");
    EXPECT_EQ(window.size(), QSize(420, 700));
    EXPECT_EQ(view.sectionTitles(),
              QStringList({"Menu Bar — Style", "Menu Bar — Metrics", "Compact View Sections",
                           "Overlay Sections", "Refresh Rate", "Appearance", "Keyboard Shortcuts",
                           "Temperature Alerts", "Data Export", "Launch", "Status item",
                           "Settings file"}));
    // A fresh installation lists six metrics.
    EXPECT_EQ(view.metricList()->shownOrder(),
              QStringList({"cpu", "ram", "network", "gpu", "battery", "disk"}));
    for (QWidget* widget : view.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(widget) ||
                             qobject_cast<QComboBox*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                             qobject_cast<QSlider*>(widget);
        const auto* label = qobject_cast<QLabel*>(widget);
        if (control || (label && !label->text().isEmpty())) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->metaObject()->className();
        }
    }
}

TEST_F(SettingsViewTest, EverySwitchWritesItsPreferenceAndFollowsTheStore) {
    const struct {
        const char* name;
        BoolGetter get;
    } switches[] = {
        {"menuBarColorCoded", &AppSettings::statusItemColorCoded},
        {"compactShowCPU", &AppSettings::compactShowCpu},
        {"compactShowRAM", &AppSettings::compactShowRam},
        {"compactShowNetwork", &AppSettings::compactShowNetwork},
        {"compactShowGPU", &AppSettings::compactShowGpu},
        {"compactShowDisk", &AppSettings::compactShowDisk},
        {"compactShowBattery", &AppSettings::compactShowBattery},
        {"compactShowProcesses", &AppSettings::compactShowProcesses},
        {"overlayShowCPU", &AppSettings::dashboardShowCpu},
        {"overlayShowRAM", &AppSettings::dashboardShowRam},
        {"overlayShowNetwork", &AppSettings::dashboardShowNetwork},
        {"overlayShowGPU", &AppSettings::dashboardShowGpu},
        {"overlayShowDisk", &AppSettings::dashboardShowDisk},
        {"overlayShowBattery", &AppSettings::dashboardShowBattery},
        {"overlayShowProcesses", &AppSettings::dashboardShowProcesses},
        {"alertsEnabled", &AppSettings::alertsEnabled},
        {"launchAtLogin", &AppSettings::launchAtLogin},
    };
    for (const auto& s : switches) {
        SCOPED_TRACE(s.name);
        auto& toggle = control<ToggleSwitch>(s.name);
        const bool before = (harness.settings.*s.get)();
        EXPECT_EQ(toggle.isChecked(), before);
        toggle.click();
        EXPECT_EQ((harness.settings.*s.get)(), !before);
        EXPECT_EQ(harness.defaults().value(QString::fromLatin1(s.name)), QJsonValue(!before));
        toggle.click();
        EXPECT_EQ((harness.settings.*s.get)(), before);
    }
    harness.settings.setCompactShowGpu(false);  // from elsewhere: the switch follows
    EXPECT_FALSE(control<ToggleSwitch>("compactShowGPU").isChecked());
}

TEST_F(SettingsViewTest, StepperAndSliderKeepTheirRangesAndSteps) {
    auto& less = control<QAbstractButton>("menuBarSparklineWidthDown");
    auto& more = control<QAbstractButton>("menuBarSparklineWidthUp");
    harness.settings.setStatusItemSparklineWidth(21);
    less.click();
    EXPECT_FALSE(less.isEnabled());
    less.click();  // disabled: nothing
    EXPECT_EQ(harness.settings.statusItemSparklineWidth(), 20);
    EXPECT_EQ(control<QLabel>("menuBarSparklineWidthLabel").text(), "Sparkline width: 20px");
    harness.settings.setStatusItemSparklineWidth(49);
    more.click();
    more.click();
    EXPECT_EQ(harness.settings.statusItemSparklineWidth(), 50);
    EXPECT_FALSE(more.isEnabled());

    auto& slider = control<QSlider>("menuBarPillOpacity");
    EXPECT_EQ(slider.value(), 17);  // 0.85
    EXPECT_EQ(control<QLabel>("menuBarPillOpacityLabel").text(), "Background opacity: 85%");
    for (int step = 0; step <= slider.maximum(); ++step) {
        slider.setValue(step);
        EXPECT_DOUBLE_EQ(harness.settings.statusItemPillOpacity(), step * 0.05);
        EXPECT_EQ(control<QLabel>("menuBarPillOpacityLabel").text(),
                  QStringLiteral("Background opacity: %1%").arg(step * 5));
    }
}

TEST_F(SettingsViewTest, PickersOfferTheRatesAndColoursAndTheCurrentRateKeepsTheHistories) {
    auto& refresh = control<QComboBox>("refreshInterval");
    ASSERT_EQ(refresh.count(), 3);
    EXPECT_EQ(refresh.currentText(), "2 seconds");
    EXPECT_EQ(refresh.itemText(0), "1 second");
    EXPECT_EQ(refresh.itemText(2), "5 seconds");
    harness.monitor->poll();
    ASSERT_EQ(harness.monitor->histories().cpu.values().size(), 1);
    const struct {
        int index;
        double seconds;
        int resets;
    } rates[] = {{1, 2.0, 0}, {0, 1.0, 1}, {0, 1.0, 1}, {2, 5.0, 2}};
    for (const auto& rate : rates) {
        emit refresh.activated(rate.index);
        EXPECT_EQ(harness.settings.refreshInterval(), rate.seconds);
        EXPECT_EQ(posted.count("historyReset"), rate.resets) << rate.seconds;
        if (rate.resets == 0) {
            EXPECT_EQ(harness.monitor->histories().cpu.values().size(), 1);
        }
    }
    EXPECT_TRUE(harness.monitor->histories().cpu.values().isEmpty());

    auto& accent = control<QComboBox>("graphColor");
    const QStringList names{"purple", "blue", "teal", "green", "yellow", "orange", "pink", "red"};
    ASSERT_EQ(accent.count(), names.size());
    for (int i = names.size() - 1; i >= 0; --i) {
        emit accent.activated(i);
        EXPECT_EQ(harness.settings.graphColor(), names[i]);
    }
    harness.settings.setGraphColor(QStringLiteral("teal"));
    EXPECT_EQ(accent.currentText(), "Teal");
}

TEST_F(SettingsViewTest, TheAlertWaitPickerOffersItsFourWaitsAndFollowsTheStore) {
    auto& wait = control<QComboBox>("alertSustainSeconds");
    EXPECT_EQ(wait.accessibleName(), "Alert after the reading stays above its threshold for");
    const struct {
        const char* text;
        int seconds;
    } waits[] = {{"At once", 0}, {"10 seconds", 10}, {"30 seconds", 30}, {"1 minute", 60}};
    ASSERT_EQ(wait.count(), static_cast<int>(std::size(waits)));
    EXPECT_EQ(wait.currentText(), "At once");
    for (int i = wait.count() - 1; i >= 0; --i) {
        EXPECT_EQ(wait.itemText(i), waits[i].text);
        emit wait.activated(i);
        EXPECT_EQ(harness.settings.alertSustainSeconds(), waits[i].seconds);
    }
    harness.settings.setAlertSustainSeconds(30);
    EXPECT_EQ(wait.currentText(), "30 seconds");
}

TEST_F(SettingsViewTest, MetricRowsEditTheirEntryAndMoveOnlyWithinTheList) {
    StatusMetricList& list = *view.metricList();
    StatusMetricRow* cpu = list.row(QStringLiteral("cpu"));
    StatusMetricRow* disk = list.row(QStringLiteral("disk"));
    const QStringList order = storedOrder();

    posted.clear();
    cpu->upButton()->click();
    disk->downButton()->click();
    EXPECT_EQ(storedOrder(), order);
    EXPECT_TRUE(posted.isEmpty());

    cpu->downButton()->click();
    EXPECT_EQ(storedOrder().mid(0, 2), QStringList({"ram", "cpu"}));
    EXPECT_EQ(list.shownOrder(), storedOrder());
    EXPECT_EQ(list.row(QStringLiteral("cpu")), cpu);  // the same row, one place lower
    disk->upButton()->click();
    EXPECT_EQ(storedOrder().mid(4), QStringList({"disk", "battery"}));

    list.row(QStringLiteral("ram"))->enabledSwitch()->click();
    cpu->modeButton(MetricDisplayMode::graphAndText)->click();
    const auto& items = harness.settings.statusItemEntries();
    EXPECT_TRUE(items[0].enabled);                                     // ram
    EXPECT_EQ(items[1].displayMode, MetricDisplayMode::graphAndText);  // cpu
    EXPECT_TRUE(posted.contains("statusItemLookChanged"));
}

TEST_F(SettingsViewTest,
       ThresholdFieldsTakeNumbersOnlyWhenEditingEndsAndAnEmptyFieldKeepsTheValue) {
    auto& cpu = control<QLineEdit>("alertCPUTempThreshold");
    EXPECT_EQ(cpu.text(), "95");
    const struct {
        const char* typed;
        double stored;
    } cases[] = {{"72.5", 72.5}, {"abc", 72.5}, {"", 72.5}, {"-", 72.5}, {"101", 101}};
    for (const auto& c : cases) {
        const double before = harness.settings.alertCpuTempThreshold();
        cpu.selectAll();
        QTest::keyClick(&cpu, Qt::Key_Backspace);
        QTest::keyClicks(&cpu, QString::fromLatin1(c.typed));
        EXPECT_EQ(harness.settings.alertCpuTempThreshold(), before)
            << c.typed;  // not digit by digit
        QTest::keyClick(&cpu, Qt::Key_Return);
        EXPECT_EQ(harness.settings.alertCpuTempThreshold(), c.stored) << c.typed;
        EXPECT_EQ(cpu.text(), editableNumberText(c.stored)) << c.typed;
    }
}

TEST_F(SettingsViewTest, ARecordingThatCannotStartShowsWhyAndNoRunningRecording) {
    const QByteArray home = qgetenv("HOME");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", dir.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", path("config").toUtf8());
    DataExportControls& data = *view.dataExport();

    data.recordingButton()->click();  // no Desktop folder
    EXPECT_FALSE(harness.monitor->recorder().isRecording());
    EXPECT_EQ(data.recordingButton()->text(), "Start Recording");
    EXPECT_TRUE(data.statusText().startsWith("Recording failed: "))
        << data.statusText().toStdString();
    EXPECT_TRUE(data.statusText().contains("Desktop"));

    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Desktop")));
    data.recordingButton()->click();
    EXPECT_EQ(data.recordingButton()->text(), "Stop Recording");
    EXPECT_EQ(data.statusText(), "Recording — 0s, 0 rows");
    harness.clock.advance(std::chrono::seconds(65));
    harness.monitor->poll();
    EXPECT_EQ(data.statusText(), "Recording — 1m 5s, 1 rows");
    data.recordingButton()->click();
    EXPECT_EQ(data.recordingButton()->text(), "Start Recording");
    EXPECT_EQ(data.statusText(), "");
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", config);
}

TEST_F(SettingsViewTest, ASnapshotIsWrittenWholeOrNotAtAll) {
    DataExportControls& data = *view.dataExport();
    savePath = path("missing/snapshot.csv");
    data.snapshotButton()->click();
    EXPECT_EQ(proposedName, "vantrel-export.csv");
    EXPECT_TRUE(data.snapshotMessage().startsWith("The snapshot was not saved: "));
    EXPECT_FALSE(QFileInfo::exists(savePath));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

    savePath = path("snapshot.csv");
    data.snapshotButton()->click();
    QFile written(savePath);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readLine().startsWith("timestamp,cpu_percent,"));
    EXPECT_EQ(data.snapshotMessage(), "Snapshot saved to " + savePath);
    EXPECT_EQ(shown, QStringList{savePath});  // the written one only
}

TEST_F(SettingsViewTest, ExportThenImportGivesTheSettingsBackAndABrokenFileChangesNothing) {
    SettingsFileControls& file = *view.settingsFile();
    const Shortcut taken{app_shortcut::keysymP,
                         shortcut_modifier::control | shortcut_modifier::alt};
    shortcuts.setShortcut(taken, app_shortcut::toggleCompact());
    harness.settings.setGraphColor(QStringLiteral("red"));
    savePath = path("exported.json");
    file.exportFile();
    EXPECT_EQ(file.message(), "Settings exported to " + savePath);

    harness.settings.setGraphColor(QStringLiteral("blue"));
    shortcuts.setShortcut(std::nullopt, app_shortcut::toggleCompact());
    openPath = savePath;
    file.importFile();
    EXPECT_EQ(harness.settings.graphColor(), "red");
    EXPECT_EQ(shortcuts.getShortcut(app_shortcut::toggleCompact()), taken);
    EXPECT_EQ(view.findChild<ShortcutRecorder*>(QStringLiteral("toggleCompact"))->fieldText(),
              "Ctrl+Alt+P");

    QFile broken(path("broken.json"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(R"({"graphColor": "teal", )");
    broken.close();
    openPath = broken.fileName();
    const QJsonObject before = harness.defaults().values();
    file.importFile();
    EXPECT_TRUE(file.message().startsWith("Nothing was imported: "))
        << file.message().toStdString();
    EXPECT_EQ(harness.settings.graphColor(), "red");
    EXPECT_EQ(harness.defaults().values(), before);
}

// The result line quoted every ignored key, and a key such as "<img src=…>" was drawn as
// markup.
TEST_F(SettingsViewTest, AnImportsIgnoredKeysAreCountedNamedAsPlainTextAndCutShort) {
    SettingsFileControls& file = *view.settingsFile();
    const struct {
        QJsonObject content;
        const char* ignoredPart;  // after "Settings imported from <path>"
    } cases[] = {
        {{{"graphColor", "teal"}}, ""},
        {{{"<b>theme</b>", 1}}, "; 1 setting left alone: <b>theme</b> (unknown setting)"},
        {{{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}, {"refreshInterval", 0.001}},
         "; 5 settings left alone: a (unknown setting), b (unknown setting), c (unknown "
         "setting) … and 2 more"},
    };
    int run = 0;
    for (const auto& c : cases) {
        openPath = path("import") + QString::number(++run) + QStringLiteral(".json");
        QFile written(openPath);
        ASSERT_TRUE(written.open(QIODevice::WriteOnly));
        written.write(QJsonDocument(c.content).toJson());
        written.close();
        file.importFile();
        EXPECT_EQ(file.message(),
                  "Settings imported from " + openPath + QString::fromUtf8(c.ignoredPart));
    }
    const auto* line = file.findChild<QLabel*>(QStringLiteral("settingsFileMessage"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->textFormat(), Qt::PlainText);
    EXPECT_EQ(harness.settings.refreshInterval(), 2.0);
}

}  // namespace
