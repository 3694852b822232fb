#include "core/TextFormat.h"
#include "support/MonitorHarness.h"
#include "support/QStringPrinter.h"
#include "support/SignalTally.h"
#include "views/compact/CompactPanelView.h"
#include "views/compact/SectionView.h"
#include "views/kit/LevelBar.h"
#include "views/kit/StateBadge.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewPalette.h"

#include <QAbstractButton>
#include <QCoro/QCoroTask>
#include <QLabel>
#include <QLayout>
#include <QScrollArea>
#include <QSignalSpy>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

using Section = CompactPanelView::Section;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAreArray;

constexpr std::uint64_t GiB = 1ull << 30;

// A laptop with a hybrid CPU, a battery and every sensor.
void setLaptop(FakeParts& fakes) {
    fakes.cpu->next = {0.427, {0.5, 0.25, 1.0, 0.0}, 2, 2, 0.3, 0.1, {}, 3600};
    fakes.ram->next.totalBytes = 16 * GiB;
    fakes.ram->next.usedBytes = 8 * GiB;
    fakes.ram->next.wiredBytes = 2 * GiB;
    fakes.ram->next.compressedBytes = 1 * GiB;
    fakes.ram->next.cachedBytes = 3 * GiB;
    fakes.ram->next.freeBytes = 4 * GiB;
    fakes.network->next.uploadSpeed = 3072;
    fakes.network->next.downloadSpeed = 2.5 * 1024 * 1024;
    fakes.battery->next = {true, 57, false, true, 45, 85, 187, 18.0, 0, "Normal", 5103, 4382};
    fakes.disk->next.totalBytes = 500 * static_cast<std::int64_t>(GiB);
    // 100 GB reserved for root: 340 of the 400 GB users can have, 85 % in use.
    fakes.disk->next.usedBytes = 340 * static_cast<std::int64_t>(GiB);
    fakes.disk->next.availableBytes = 60 * static_cast<std::int64_t>(GiB);
    fakes.disk->next.categories = {{"apps", "Applications", 12 * std::int64_t(GiB), "app.badge"}};
    fakes.gpu->next = {0.12, 1 * GiB, 4 * GiB, "Radeon", 1};
    fakes.processes->next.topByCpu = {{42, "firefox", 12.3, 0}, {7, QString(300, 'x'), 1.0, 0}};
    fakes.thermal->next = ThermalState::serious;
    SensorStats& sensors = fakes.sensors->next;
    sensors.cpuTempCelsius = 61.4;
    sensors.ioTempCelsius = 45;
    sensors.systemPowerWatts = 30.5;
    sensors.memoryTempCelsius = 40;
    sensors.batteryTempCelsius = 33;
    sensors.ssdTempCelsius = 38;
    sensors.gpuTempCelsius = 50;
    sensors.gpuPowerWatts = 12;
    sensors.fans = {{0, 1200}, {1, 1300.4}};
    fakes.batteryHealth->history = {98, 95};
    fakes.batteryHealth->trend = QStringLiteral("4mo ago: 98% \u2192 now: 95%");
}

class CompactPanelTest : public ::testing::Test {
protected:
    void poll(bool helper) {
        harness.monitor->setHelperAvailable(helper);
        QCoro::waitFor(harness.monitor->poll());
    }

    CompactPanelView& panel() {
        if (!panel_) {
            panel_ = std::make_unique<CompactPanelView>(*harness.monitor, harness.settings);
        }
        return *panel_;
    }

    std::vector<Section> shownSections() {
        std::vector<Section> shown;
        for (int i = 0; i < CompactPanelView::sectionCount; ++i) {
            if (panel().section(static_cast<Section>(i))) {
                shown.push_back(static_cast<Section>(i));
            }
        }
        return shown;
    }

    // "label=value" of every row the section shows, and its title line.
    std::vector<std::string> rowsOf(Section which) {
        SectionView* section = panel().section(which);
        std::vector<std::string> rows;
        if (!section) {
            return rows;
        }
        rows.push_back("title=" + section->accessibleName().toStdString());
        for (const ValueRow* row : section->findChildren<ValueRow*>()) {
            if (row->isVisibleTo(section)) {
                rows.push_back((row->label() + u'=' + row->value()).toStdString());
            }
        }
        return rows;
    }

    MonitorHarness harness;
    std::unique_ptr<CompactPanelView> panel_;
};

TEST_F(CompactPanelTest, SectionsFollowTheSettingsAndTheMachine) {
    const std::vector<Section> all{Section::cpu,      Section::memory, Section::network,
                                   Section::battery,  Section::disk,   Section::gpu,
                                   Section::processes};
    struct {
        const char* what;
        bool battery;
        std::function<void(AppSettings&)> settings;
        std::vector<Section> expected;
    } cases[] = {
        {"laptop", true, [](AppSettings&) {}, all},
        {"desktop",
         false,
         [](AppSettings&) {},
         {Section::cpu, Section::memory, Section::network, Section::disk, Section::gpu,
          Section::processes}},
        {"laptop, battery off",
         true,
         [](AppSettings& s) { s.setCompactShowBattery(false); },
         {Section::cpu, Section::memory, Section::network, Section::disk, Section::gpu,
          Section::processes}},
        {"everything off",
         true,
         [](AppSettings& s) {
             s.setCompactShowCpu(false);
             s.setCompactShowRam(false);
             s.setCompactShowNetwork(false);
             s.setCompactShowBattery(false);
             s.setCompactShowDisk(false);
             s.setCompactShowGpu(false);
             s.setCompactShowProcesses(false);
         },
         {}},
    };
    for (const auto& c : cases) {
        MonitorHarness machine;
        setLaptop(machine.fakes);
        machine.fakes.battery->next.hasBattery = c.battery;
        QCoro::waitFor(machine.monitor->poll());
        CompactPanelView view(*machine.monitor, machine.settings);
        c.settings(machine.settings);
        std::vector<Section> shown;
        for (int i = 0; i < CompactPanelView::sectionCount; ++i) {
            if (view.section(static_cast<Section>(i))) {
                shown.push_back(static_cast<Section>(i));
            }
        }
        EXPECT_EQ(shown, c.expected) << c.what;
    }
}

TEST_F(CompactPanelTest, TheBatteryAppearsWithTheFirstPollThatFindsOne) {
    EXPECT_EQ(panel().section(Section::battery), nullptr);  // no poll yet: no battery known
    setLaptop(harness.fakes);
    poll(true);
    EXPECT_NE(panel().section(Section::battery), nullptr);
    harness.settings.setCompactShowCpu(false);
    harness.settings.setCompactShowCpu(true);
    const QLayout* column = panel().scrollArea()->widget()->layout();
    EXPECT_EQ(column->indexOf(panel().section(Section::cpu)), 1);  // back under the button
    EXPECT_EQ(column->indexOf(panel().section(Section::memory)), 2);
}

TEST_F(CompactPanelTest, EveryRowOfALaptopWithTheHelper) {
    setLaptop(harness.fakes);
    poll(true);
    struct {
        Section section;
        std::vector<std::string> rows;
    } cases[] = {
        {Section::cpu,
         {"title=CPU 42%", "CPU Temperature=61.4 °C", "IO Temperature=45.0 °C",
          "System Power=30.5 W"}},
        {Section::memory,
         {"title=Memory 50%", "Wired=2.0 GB", "Compressed=1.0 GB", "Cached=3.0 GB",
          "Total: 16.0 GB=Free: 4.0 GB", "Memory Temperature=40.0 °C"}},
        {Section::network, {"title=Network", "3 KB/s=", "2.5 MB/s="}},
        {Section::battery,
         {"title=Battery 57%", "Health=85%", "Condition=Normal", "Cycle Count=187",
          "Capacity=4382 / 5103 mAh", "Power=18.0 W", "Battery Temperature=33.0 °C",
          "Fan 1=1200 RPM", "Fan 2=1300 RPM", "Health Trend=4mo ago: 98% \u2192 now: 95%"}},
        {Section::disk,
         {"title=Disk", "Used: 340.0 GB of 500.0 GB=Free: 60.0 GB", "SSD Temperature=38.0 °C",
          "Applications=12.0 GB"}},
        {Section::gpu,
         {"title=GPU 12%", "Memory=1.0 GB / 4.0 GB", "GPU Temperature=50.0 °C",
          "GPU Power=12.0 W"}},
        {Section::processes,
         {"title=Top Processes", "firefox=12.3%", QString(300, 'x').toStdString() + "=1.0%"}},
    };
    for (const auto& c : cases) {
        EXPECT_THAT(rowsOf(c.section), UnorderedElementsAreArray(c.rows)) << int(c.section);
    }

    // The cores: efficiency first in green, then performance in the accent colour.
    std::vector<std::string> cores;
    for (const LevelBar* bar : panel().section(Section::cpu)->findChildren<LevelBar*>()) {
        cores.push_back(bar->accessibleName().toStdString());
    }
    EXPECT_THAT(cores, ElementsAre("E1 50%", "E2 25%", "P1 100%", "P2 0%"));
    const auto bars = panel().section(Section::cpu)->findChildren<LevelBar*>();
    EXPECT_EQ(bars.front()->fillColor(), ViewPalette::green());
    EXPECT_EQ(bars.back()->fillColor(), accentColor(harness.settings));
    const auto* badge = panel().section(Section::cpu)->findChild<StateBadge*>();
    EXPECT_EQ(badge->text(), "Serious");
    EXPECT_EQ(badge->color(), ViewPalette::orange());

    // State colours: a healthy normal battery at 57 % is green; a disk 85 % full is orange.
    for (const ValueRow* row : panel().section(Section::battery)->findChildren<ValueRow*>()) {
        if (row->label() == "Health" || row->label() == "Condition") {
            EXPECT_EQ(row->valueColor(), ViewPalette::green()) << row->label().toStdString();
        }
    }
    EXPECT_EQ(panel().section(Section::battery)->findChild<LevelBar*>()->fillColor(),
              ViewPalette::green());
    EXPECT_EQ(panel().section(Section::disk)->findChild<LevelBar*>()->fillColor(),
              ViewPalette::orange());
}

TEST_F(CompactPanelTest, WithoutTheHelperTheSensorRowsGoAndTheRestStays) {
    setLaptop(harness.fakes);
    harness.fakes.cpu->next.efficiencyCores = 0;
    harness.fakes.cpu->next.performanceCores = 0;
    poll(false);
    EXPECT_THAT(rowsOf(Section::cpu), ElementsAre("title=CPU 42%"));
    EXPECT_THAT(rowsOf(Section::gpu), ElementsAre("title=GPU 12%", "Memory=1.0 GB / 4.0 GB"));
    EXPECT_EQ(rowsOf(Section::battery).size(), 7u);  // title, five rows and the trend
    std::vector<std::string> cores;
    for (const LevelBar* bar : panel().section(Section::cpu)->findChildren<LevelBar*>()) {
        cores.push_back(bar->accessibleName().toStdString());
        EXPECT_EQ(bar->fillColor(), ViewPalette::blue());
    }
    EXPECT_THAT(cores, ElementsAre("C1 50%", "C2 25%", "C3 100%", "C4 0%"));
}

TEST_F(CompactPanelTest, EmptyAndBrokenRecordsShowPlaceholdersNeverNanOrNegatives) {
    // Before any poll, then after a poll of a battery that reports nothing, zero-sized disks
    // and memory, readings that are not numbers and a failed process scan.
    std::vector<std::string> texts;
    const auto collect = [&] {
        for (int i = 0; i < CompactPanelView::sectionCount; ++i) {
            for (const std::string& row : rowsOf(static_cast<Section>(i))) {
                texts.push_back(row);
            }
        }
    };
    collect();
    BatteryStats unknown;
    unknown.hasBattery = true;
    harness.fakes.battery->next = unknown;
    harness.fakes.disk->next.usedBytes = -5;
    harness.fakes.disk->next.categories = {{"x", "Junk", -1, "doc"}};
    harness.fakes.sensors->next.cpuTempCelsius = std::nan("");
    harness.fakes.sensors->next.gpuPowerWatts = HUGE_VAL;
    poll(true);
    collect();
    for (const std::string& text : texts) {
        EXPECT_EQ(text.find("nan"), std::string::npos) << text;
        EXPECT_EQ(text.find("inf"), std::string::npos) << text;
        EXPECT_EQ(text.find('-'), std::string::npos) << text;
    }
    EXPECT_THAT(rowsOf(Section::battery),
                UnorderedElementsAreArray<std::string>(
                    {"title=Battery 0%", "Health=\u2014", "Condition=\u2014", "Cycle Count=\u2014",
                     "Capacity=\u2014", "Power=0.0 W", "Health Trend=\u2014"}));
    // No GPU found: a dash, not a busy 0 % over an empty memory row.
    EXPECT_THAT(rowsOf(Section::gpu), ElementsAre("title=GPU \u2014"));
    bool noDataShown = false;
    for (const QLabel* label : panel().section(Section::processes)->findChildren<QLabel*>()) {
        noDataShown |= label->text() == "No data" && label->isVisibleTo(&panel());
    }
    EXPECT_TRUE(noDataShown);
}

TEST_F(CompactPanelTest, ALongProcessNameNeverWidensThePanel) {
    setLaptop(harness.fakes);
    poll(true);
    panel().resize(320, 520);
    panel().show();
    const QWidget* column = panel().scrollArea()->widget();
    EXPECT_LE(column->minimumSizeHint().width(), panel().scrollArea()->viewport()->width());
    EXPECT_EQ(column->width(), panel().scrollArea()->viewport()->width());
}

TEST_F(CompactPanelTest, EachButtonAsksTheShellForItsOwnThingOnce) {
    SignalTally asked(panel());
    for (QAbstractButton* button : panel().findChildren<QAbstractButton*>()) {
        button->click();
    }
    for (const char* request : {"dashboardRequested", "helpRequested", "settingsRequested",
                                "supportRequested", "quitRequested"}) {
        EXPECT_EQ(asked.count(request), 1) << request;
    }
    EXPECT_EQ(asked.totalExcept({}), 5);
}

}  // namespace
