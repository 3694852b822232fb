#include "core/SampleRecorder.h"
#include "support/MonitorHarness.h"
#include "support/QStringPrinter.h"
#include "views/dashboard/AccentDot.h"
#include "views/dashboard/CardGrid.h"
#include "views/dashboard/CpuCard.h"
#include "views/dashboard/DashboardCard.h"
#include "views/dashboard/DashboardHeader.h"
#include "views/dashboard/DashboardView.h"
#include "views/dashboard/DashboardWindow.h"
#include "views/dashboard/SessionBar.h"
#include "views/dashboard/SummaryChips.h"
#include "views/graphs/GlowGraphView.h"
#include "views/graphs/MiniGraphView.h"
#include "views/kit/Chip.h"
#include "views/kit/ValueRow.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

constexpr std::uint64_t GiB = std::uint64_t{1} << 30;
constexpr std::uint64_t MiB = std::uint64_t{1} << 20;

class TestRecorder final : public SampleRecorder {
public:
    void recordSample(const SystemMonitor&) override {}
    using SampleRecorder::setRecording;
    using SampleRecorder::setRecordingDuration;
};

// A laptop with sensors and two efficiency and two performance cores.
void setLaptopRecords(FakeParts& fakes) {
    fakes.cpu->next = {0.427, {0.1, 0.2, 0.9, 0.5}, 2, 2, 0.301, 0.126, {1.5, 0.75, 0.125}, 90061};
    RamStats& ram = fakes.ram->next;
    ram = {16 * GiB, 9 * GiB, 2 * GiB, 4 * GiB, GiB, 3 * GiB, GiB, 512 * MiB, 2 * GiB, 12.4, 0, 1};
    NetworkStats& net = fakes.network->next;
    net.uploadSpeed = 2048;
    net.downloadSpeed = 1.5 * MiB;
    net.interfaceName = QStringLiteral("wlp2s0");
    net.interfaceType = QStringLiteral("Wi-Fi");
    net.wifiName = QStringLiteral("Home");
    net.localIP = QStringLiteral("192.168.1.20");
    net.ipv6 = QStringLiteral("2001:db8:85a3:0:0:8a2e:370:7334");
    net.peakUpload = 4096;
    net.peakDownload = 2 * MiB;
    fakes.gpu->next = {0.25, 512 * MiB, 4 * GiB, QStringLiteral("Intel Iris Xe"), 1};
    DiskStats& disk = fakes.disk->next;
    disk.totalBytes = 512LL << 30;
    disk.usedBytes = 400LL << 30;
    disk.availableBytes = 100LL << 30;  // 12 GB reserved for root
    disk.readBytesPerSec = 1024;
    fakes.battery->next = {
        true, 76, false, false, 95, 82, 311, 7.25, 11.4, QStringLiteral("Normal"), 5000, 4500};
    fakes.processes->next.topByCpu = {{1, QStringLiteral("firefox"), 12.25, GiB}};
    SensorStats& sensors = fakes.sensors->next;
    sensors.cpuTempCelsius = 61.25;
    sensors.systemPowerWatts = 14.5;
    sensors.gpuTempCelsius = 55;
    sensors.ssdTempCelsius = 40;
    sensors.batteryTempCelsius = 31.5;
}

void collectTexts(const QLayout* layout, const QWidget& card, QStringList& texts) {
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (const QWidget* widget = item->widget()) {
            const bool isText = qobject_cast<const ValueRow*>(widget) != nullptr ||
                                qobject_cast<const QLabel*>(widget) != nullptr;
            if (isText && widget->isVisibleTo(&card) && !widget->accessibleName().isEmpty()) {
                texts.append(widget->accessibleName());
            }
            if (widget->layout() != nullptr) {
                collectTexts(widget->layout(), card, texts);
            }
        } else if (item->layout() != nullptr) {
            collectTexts(item->layout(), card, texts);
        }
    }
}

// What a screen reader hears of each shown row and note of `card`, in their order.
QStringList shownTexts(const DashboardCard& card) {
    QStringList texts;
    collectTexts(card.body(), card, texts);
    return texts;
}

class DashboardViewTest : public ::testing::Test {
protected:
    DashboardViewTest()
        : harness([this](Clock&) {
              auto made = std::make_unique<TestRecorder>();
              recorder = made.get();
              return made;
          }) {}

    std::unique_ptr<DashboardView> makeView() {
        return std::make_unique<DashboardView>(*harness.monitor, harness.settings, harness.clock,
                                               QString());
    }

    QStringList cardTitles(const DashboardView& view) {
        QStringList titles;
        for (const DashboardCard* card : view.grid()->shownCards()) {
            titles.append(card->title());
        }
        return titles;
    }

    TestRecorder* recorder = nullptr;
    MonitorHarness harness;
};

TEST_F(DashboardViewTest, CardsFollowTheSettingsAndTheMachine) {
    struct Case {
        const char* name;
        QVector<void (AppSettings::*)(bool)> off;
        bool battery;
        bool helper;
        QStringList cards;
        QString batteryCard;  // what the battery card says first
    } cases[] = {
        {"laptop",
         {},
         true,
         true,
         {"CPU", "Memory", "Network", "GPU", "Disk", "Battery", "Processes"},
         "Status 1h 35m remaining"},
        {"desktop without helper",
         {&AppSettings::setDashboardShowCpu, &AppSettings::setDashboardShowNetwork,
          &AppSettings::setDashboardShowProcesses},
         false,
         false,
         {"Memory", "GPU", "Disk", "Battery"},
         "No battery"},
        {"all off",
         {&AppSettings::setDashboardShowCpu, &AppSettings::setDashboardShowRam,
          &AppSettings::setDashboardShowNetwork, &AppSettings::setDashboardShowGpu,
          &AppSettings::setDashboardShowDisk, &AppSettings::setDashboardShowBattery,
          &AppSettings::setDashboardShowProcesses},
         true,
         true,
         {},
         {}},
    };
    for (const Case& c : cases) {
        MonitorHarness h;
        setLaptopRecords(h.fakes);
        if (!c.battery) {
            h.fakes.battery->next = BatteryStats{};
        }
        h.monitor->setHelperAvailable(c.helper);
        h.monitor->poll();
        DashboardView view(*h.monitor, h.settings, h.clock, QString());
        for (auto setter : c.off) {
            (h.settings.*setter)(false);
        }
        EXPECT_EQ(cardTitles(view), c.cards) << c.name;
        EXPECT_TRUE(view.header()->isVisibleTo(&view) && view.chips()->isVisibleTo(&view) &&
                    view.sessionBar()->isVisibleTo(&view))
            << c.name;
        for (const DashboardCard* card : view.grid()->shownCards()) {
            const QStringList texts = shownTexts(*card);
            if (card->title() == QLatin1String("Battery")) {
                EXPECT_EQ(texts.value(0), c.batteryCard) << c.name;
                EXPECT_EQ(texts.size() == 1, !c.battery) << c.name;
            }
            // Without the helper no temperature or power row is left.
            for (const QString& text : texts) {
                const bool sensorRow = text.contains(QLatin1String("Temp")) ||
                                       text.startsWith(QLatin1String("System Power")) ||
                                       text.startsWith(QLatin1String("Charger"));
                EXPECT_FALSE(sensorRow && !c.helper) << c.name << ": " << text.toStdString();
            }
        }
    }
}

TEST_F(DashboardViewTest, EveryRowShowsItsRecordsText) {
    setLaptopRecords(harness.fakes);
    harness.monitor->setHelperAvailable(true);
    harness.monitor->poll();
    const auto view = makeView();
    const std::pair<const char*, QStringList> expected[] = {
        {"CPU 42%",
         {"User 30%", "System 12%", "Load 1.50  0.75  0.12", "Uptime 1d 1h 1m",
          "Temperature 61.2 °C", "System Power 14.5 W"}},
        {"Memory 56%",
         {"Wired 2.0 GB", "Compressed 1.0 GB", "Cached 3.0 GB", "Used 9.0 GB / 16.0 GB",
          "Swap 512 MB / 2.0 GB", "Page In 12/s", "Page Out 0/s"}},
        {"Network",
         {"↑ 2 KB/s", "↓ 1.5 MB/s", "Peak ↑ 4 KB/s", "Peak ↓ 2.0 MB/s", "Wi-Fi Home",
          "Local IP 192.168.1.20", "IPv6 2001:db8:85a3:0:0:8a2e:3…"}},
        {"GPU 25%", {"Model Intel Iris Xe", "VRAM 512 MB / 4.0 GB", "Temperature 55.0 °C"}},
        {"Disk 80%",
         {"Used 400.0 GB / 512.0 GB", "Available 100.0 GB", "Read 1 KB/s", "Write 0 B/s",
          "SSD Temp 40.0 °C"}},
        {"Battery 76%",
         {"Status 1h 35m remaining", "Health 82%", "Cycles 311", "Discharging 7.2 W",
          "Voltage 11.40 V", "Condition Normal", "Capacity 51.3 / 57.0 Wh", "Temperature 31.5 °C"}},
        {"Processes", {"Top CPU", "firefox 12.2%", "Top Memory", "No data"}},
    };
    const QVector<DashboardCard*> cards = view->grid()->shownCards();
    ASSERT_EQ(cards.size(), std::size(expected));
    for (qsizetype i = 0; i < cards.size(); ++i) {
        EXPECT_EQ(cards[i]->accessibleName(), QString::fromUtf8(expected[i].first));
        EXPECT_EQ(shownTexts(*cards[i]), expected[i].second) << expected[i].first;
    }
    QStringList chips;
    for (const Chip* chip : view->chips()->findChildren<Chip*>()) {
        chips.append(chip->accessibleName());
    }
    EXPECT_EQ(chips, (QStringList{"CPU 42%", "GPU 25%", "Memory 56%", "Battery 76%", "Disk 80%"}));
}

TEST_F(DashboardViewTest, BeforeThePollAndOnAnEmptyMachineNothingReadsAsANumberItIsNot) {
    const auto view = makeView();
    for (const DashboardCard* card : view->grid()->shownCards()) {
        for (const QString& text : shownTexts(*card)) {
            EXPECT_FALSE(text.contains(QLatin1String("nan")) ||
                         text.contains(QLatin1String("inf")) || text.contains(QLatin1Char('-')))
                << text.toStdString();
        }
    }
}

// A machine without a GPU says so; one whose card gives no figures yet shows dashes.
TEST_F(DashboardViewTest, GpuCardAndChipShowWhetherTheMachineHasAGpu) {
    const struct {
        const char* machine;
        GpuStats gpu;
        QString card;
        QStringList texts;
        QString chip;
    } cases[] = {
        {"no GPU", GpuStats{}, "GPU", {"No GPU"}, "GPU —"},
        {"one GPU",
         {0.25, 512 * MiB, 4 * GiB, QStringLiteral("Intel Iris Xe"), 1},
         "GPU 25%",
         {"Model Intel Iris Xe", "VRAM 512 MB / 4.0 GB"},
         "GPU 25%"},
        {"a card without figures yet",
         {0, 0, 0, QStringLiteral("GA102"), 1},
         "GPU 0%",
         {"Model GA102", "VRAM —"},
         "GPU 0%"},
    };
    for (const auto& c : cases) {
        MonitorHarness h;
        h.fakes.gpu->next = c.gpu;
        h.monitor->poll();
        DashboardView view(*h.monitor, h.settings, h.clock, QString());
        const DashboardCard* card = view.grid()->shownCards()[3];
        EXPECT_EQ(card->accessibleName(), c.card) << c.machine;
        EXPECT_EQ(shownTexts(*card), c.texts) << c.machine;
        QStringList chips;
        for (const Chip* chip : view.chips()->findChildren<Chip*>()) {
            chips.append(chip->accessibleName());
        }
        EXPECT_EQ(chips.value(1), c.chip) << c.machine;
    }
}

TEST_F(DashboardViewTest, GridColumnsFollowTheWidthLive) {
    const auto view = makeView();
    view->show();
    for (const auto& [width, columns] :
         {std::pair{499, 1}, {500, 2}, {749, 2}, {750, 3}, {960, 3}}) {
        view->resize(width, 700);
        QCoreApplication::processEvents();
        EXPECT_EQ(view->grid()->columns(), columns) << width;
        const QVector<DashboardCard*> cards = view->grid()->shownCards();
        int onFirstRow = 0;
        for (const DashboardCard* card : cards) {
            onFirstRow += card->geometry().top() == cards.first()->geometry().top() ? 1 : 0;
        }
        EXPECT_EQ(onFirstRow, columns) << width;
    }
}

// A wide card takes a row of its own across every column, after the cards before it.
TEST_F(DashboardViewTest, GridGivesAWideCardARowOfItsOwn) {
    CardGrid grid;
    QVector<DashboardCard*> cards;
    for (int i = 0; i < 5; ++i) {
        cards.append(new CpuCard);
        grid.addCard(cards.last());
    }
    auto* wide = new CpuCard;
    grid.addWideCard(wide);
    grid.setColumns(3);
    grid.resize(960, 1600);
    grid.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(wide->geometry().left(), 0);
    EXPECT_EQ(wide->geometry().width(), 960);
    EXPECT_GT(wide->geometry().top(), cards[3]->geometry().bottom());
    grid.setCardShown(cards[3], false);
    grid.setCardShown(cards[4], false);
    QCoreApplication::processEvents();
    EXPECT_GT(wide->geometry().top(), cards[0]->geometry().bottom());
    EXPECT_EQ(wide->geometry().width(), 960);
}

TEST_F(DashboardViewTest, SessionBarShowsItsConditionalItemsOnlyWhenTheyHaveSomethingToSay) {
    SessionBar bar;
    SessionSummary session;
    session.startTime = harness.clock.wallNow();
    session.peakCpu = 0.874;
    session.peakRamBytes = 3 * GiB / 2;
    session.totalDownloadBytes = 1600;
    const QStringList always{"42s", "CPU 87%", "RAM 1.5 GB", "GPU 0%", "↓ 2 KB", "↑ 0 B"};
    const auto now = session.startTime + std::chrono::seconds(42);
    bar.refresh(session, now, true);
    EXPECT_EQ(bar.shownItems(), always);
    bar.refresh(session, now, false);  // a machine without a GPU has no GPU peak
    EXPECT_EQ(bar.shownItems(), (QStringList{"42s", "CPU 87%", "RAM 1.5 GB", "↓ 2 KB", "↑ 0 B"}));

    session.peakCpuTemp = 80.6;
    session.worstThermal = ThermalState::fair;
    bar.refresh(session, now, true);
    EXPECT_EQ(bar.shownItems(), (always + QStringList{"Peak CPU 81°C", "Thermal Fair"}));

    session.peakGpuTemp = 70;
    session.worstThermal = ThermalState::critical;
    session.throttleSeconds = 61;
    bar.refresh(session, now, true);
    EXPECT_EQ(bar.shownItems(), (always + QStringList{"Peak CPU 81°C", "Peak GPU 70°C",
                                                      "Thermal Critical", "Throttled 1m 1s"}));
}

TEST_F(DashboardViewTest, HeaderFollowsTheRecorderAndSetsTheAccent) {
    const auto view = makeView();
    DashboardHeader& header = *view->header();
    EXPECT_EQ(header.recordingText(), QString());
    recorder->setRecording(true);
    recorder->setRecordingDuration(65);
    EXPECT_EQ(header.recordingText(), QStringLiteral("REC 1m 5s"));
    recorder->setRecording(false);
    EXPECT_EQ(header.recordingText(), QString());

    QStringList current;
    for (AccentDot* dot : header.accentDots()) {
        if (dot->isCurrent()) {
            current.append(dot->name());
        }
    }
    EXPECT_EQ(current, QStringList{"purple"});
    header.accentDots().first()->click();
    EXPECT_EQ(harness.settings.graphColor(), QStringLiteral("green"));
    EXPECT_TRUE(header.accentDots().first()->isCurrent());
    EXPECT_FALSE(header.accentDots()[2]->isCurrent());
    EXPECT_EQ(view->grid()->shownCards().first()->accent(), header.accentDots().first()->color());
}

// A new refresh interval empties the histories between polls; the graphs used to keep the old
// points until the next poll.
TEST_F(DashboardViewTest, GraphsRedrawFromTheEmptiedHistoriesWhenTheIntervalChanges) {
    setLaptopRecords(harness.fakes);
    harness.monitor->setHelperAvailable(true);
    const auto view = makeView();
    harness.monitor->startPolling();
    harness.clock.advance(std::chrono::seconds(3));
    const auto graphValues = [&view] {
        QList<QVector<double>> held;
        for (const auto* graph : view->findChildren<GlowGraphView*>()) {
            held.append(graph->values());
        }
        for (const auto* graph : view->findChildren<MiniGraphView*>()) {
            held.append(graph->values());
        }
        return held;
    };
    ASSERT_FALSE(graphValues().isEmpty());
    for (const QVector<double>& values : graphValues()) {
        EXPECT_EQ(values.size(), 3);
    }
    harness.settings.setRefreshInterval(5);
    for (const QVector<double>& values : graphValues()) {
        EXPECT_TRUE(values.isEmpty());
    }
}

TEST_F(DashboardViewTest, EscapeWithTheFocusInACardAsksTheShellToClose) {
    DashboardWindow window(*harness.monitor, harness.settings, harness.clock, QString());
    int closes = 0;
    QObject::connect(&window, &DashboardWindow::closeRequested, [&] { ++closes; });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    DashboardCard* card = window.view()->grid()->shownCards().first();
    card->setFocusPolicy(Qt::StrongFocus);
    card->setFocus();
    QTest::keyClick(card, Qt::Key_Escape);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(window.minimumSize(), QSize(600, 500));
    EXPECT_EQ(window.size(), QSize(960, 860));
}

TEST_F(DashboardViewTest, WindowIsCentredInTheAvailableAreaAndStaysOnAScreen) {
    const std::pair<QRect, QRect> cases[] = {
        {QRect(0, 0, 1920, 1080), QRect(480, 110, 960, 860)},
        {QRect(1920, 28, 2560, 1412), QRect(2720, 304, 960, 860)},
        {QRect(0, 0, 1280, 800), QRect(160, 0, 960, 800)},
        {QRect(0, 0, 500, 400), QRect(0, 0, 600, 500)},
    };
    for (const auto& [area, placed] : cases) {
        EXPECT_EQ(DashboardWindow::placementIn(area), placed) << area.width();
    }
    // A dashboard left on an unplugged screen is moved; one on a remaining screen stays.
    const QVector<QRect> screens{QRect(0, 0, 1920, 1080)};
    EXPECT_TRUE(DashboardWindow::onAScreen(QRect(480, 110, 960, 860), screens));
    EXPECT_FALSE(DashboardWindow::onAScreen(QRect(2720, 304, 960, 860), screens));
}

}  // namespace
