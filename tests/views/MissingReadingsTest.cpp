#include "support/MonitorHarness.h"
#include "support/QStringPrinter.h"
#include "views/compact/CompactPanelView.h"
#include "views/compact/SectionView.h"
#include "views/dashboard/CardGrid.h"
#include "views/dashboard/DashboardCard.h"
#include "views/dashboard/DashboardView.h"

#include <QCoro/QCoroTask>
#include <QLabel>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr std::uint64_t GiB = std::uint64_t{1} << 30;

// A laptop whose every floating-point reading is `reading`, or, for an absent reading, one
// whose sensors are not there and whose GPU and battery leave their figures unknown.
void setReadings(FakeParts& fakes, std::optional<double> reading) {
    const double v = reading.value_or(0);
    fakes.cpu->next = {v, {v, v}, 1, 1, v, v, {v, v, v}, 60};
    fakes.ram->next = {16 * GiB, 8 * GiB, GiB, GiB, GiB, GiB, 4 * GiB, 0, 0, v, v, 0};
    NetworkStats& network = fakes.network->next;
    network.uploadSpeed = network.downloadSpeed = network.peakUpload = network.peakDownload = v;
    fakes.gpu->next = {v, 0, 0, QString(), 1};
    fakes.disk->next.totalBytes = 100LL << 30;
    fakes.disk->next.readBytesPerSec = fakes.disk->next.writeBytesPerSec = v;
    fakes.battery->next = {true, 50, false, false, 90, -1, -1, v, v, QString(), -1, -1};
    fakes.processes->next.topByCpu = {{1, QStringLiteral("firefox"), v, GiB}};
    SensorStats& sensors = fakes.sensors->next;
    for (std::optional<double>* sensor :
         {&sensors.cpuTempCelsius, &sensors.ioTempCelsius, &sensors.systemPowerWatts,
          &sensors.memoryTempCelsius, &sensors.ssdTempCelsius, &sensors.gpuTempCelsius,
          &sensors.gpuPowerWatts, &sensors.batteryTempCelsius}) {
        *sensor = reading;
    }
    sensors.fans = reading ? QVector<FanReading>{{0, v}} : QVector<FanReading>{};
}

// The block's own line and what a screen reader hears of each piece it shows (a label without
// a name, by its text).
QStringList shownTexts(const QWidget& block) {
    QStringList texts{block.accessibleName()};
    for (const QWidget* piece : block.findChildren<QWidget*>()) {
        const auto* label = qobject_cast<const QLabel*>(piece);
        const QString text = !piece->accessibleName().isEmpty() ? piece->accessibleName()
                             : label != nullptr                 ? label->text()
                                                                : QString();
        if (piece->isVisibleTo(&block) && !text.isEmpty()) {
            texts.append(text);
        }
    }
    return texts;
}

TEST(MissingReadingsTest, EverySectionAndCardShowsTheDashForAReadingThatIsNotANumber) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    const QStringList notNumbers{
        // the compact panel
        "CPU —", "E1 —", "—", "CPU Temperature —", "IO Temperature —", "System Power —",
        "Memory Temperature —", "Power —", "Battery Temperature —", "Fan 1 —", "SSD Temperature —",
        "GPU —", "GPU Temperature —", "GPU Power —", "firefox —",
        // the dashboard
        "User —", "System —", "Load —", "Temperature —", "IO Temp —", "Page In —", "Page Out —",
        "↑ —", "↓ —", "Peak ↑ —", "Peak ↓ —", "Read —", "Write —", "SSD Temp —", "Power —",
        "Voltage —"};
    const QStringList unknown{"Memory —",    "Cycle Count —", "Health —",
                              "Condition —", "Capacity —",    "Health Trend —",
                              "Model —",     "VRAM —",        "Cycles —"};
    const struct {
        const char* name;
        std::optional<double> reading;
        QStringList dashes;  // texts that must be shown
    } cases[] = {
        {"NaN", nan, notNumbers},
        {"+inf", inf, notNumbers},
        {"-inf", -inf, notNumbers},
        {"absent", std::nullopt, unknown},
    };
    const QRegularExpression garbage(QStringLiteral("nan|inf|\\d{10}"),
                                     QRegularExpression::CaseInsensitiveOption);
    for (const auto& c : cases) {
        MonitorHarness h;
        setReadings(h.fakes, c.reading);
        h.monitor->setHelperAvailable(true);
        QCoro::waitFor(h.monitor->poll());
        CompactPanelView panel(*h.monitor, h.settings);
        panel.refresh();
        DashboardView dashboard(*h.monitor, h.settings, h.clock, QString());
        QStringList texts;
        for (int i = 0; i < CompactPanelView::sectionCount; ++i) {
            const SectionView* section = panel.section(static_cast<CompactPanelView::Section>(i));
            ASSERT_NE(section, nullptr) << c.name << " section " << i;
            texts += shownTexts(*section);
        }
        const QVector<DashboardCard*> cards = dashboard.grid()->shownCards();
        ASSERT_EQ(cards.size(), 7) << c.name;
        for (const DashboardCard* card : cards) {
            texts += shownTexts(*card);
        }
        for (const QString& text : texts) {
            EXPECT_FALSE(garbage.match(text).hasMatch()) << c.name << ": " << text.toStdString();
        }
        for (const QString& dash : c.dashes) {
            EXPECT_TRUE(texts.contains(dash)) << c.name << ": " << dash.toStdString();
        }
    }
}

}  // namespace
