#include "support/MonitorHarness.h"
#include "support/QStringPrinter.h"
#include "views/SensorsCardPictures.h"
#include "views/dashboard/CardGrid.h"
#include "views/dashboard/DashboardView.h"
#include "views/dashboard/DashboardWindow.h"
#include "views/dashboard/SensorRow.h"
#include "views/dashboard/SensorsCard.h"
#include "views/kit/ViewPalette.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

using Kind = SensorChannelKind;

SensorChannelReading channel(const char* chip, const char* sensor, const char* chipName,
                             const char* label, Kind kind, std::optional<double> value) {
    return {QString::fromUtf8(chip),
            QString::fromUtf8(sensor),
            QString::fromUtf8(chipName),
            QString::fromUtf8(label),
            kind,
            value,
            {},
            {},
            {}};
}

// A desktop with a Super I/O chip, in the helper's order: chips by identity, then the zones.
QVector<SensorChannelReading> superIoDesktop() {
    QVector<SensorChannelReading> channels{
        channel("nvme_nvme0", "temp1", "nvme", "Composite", Kind::temperature, 38.9),
        channel("platform_coretemp_0", "temp1", "coretemp", "Package id 0", Kind::temperature, 52),
    };
    for (int core = 0; core < 4; ++core) {
        channels.append(
            channel("platform_coretemp_0", "", "coretemp", "", Kind::temperature, 47 + core));
        channels.last().sensor = QStringLiteral("temp%1").arg(core + 2);
        channels.last().label = QStringLiteral("Core %1").arg(core);
    }
    const char* chip = "platform_nct6775_656";
    for (const auto& [sensor, label, value] : {std::tuple{"temp1", "SYSTIN", 31.0},
                                               {"temp2", "CPUTIN", 44.5},
                                               {"temp3", "AUXTIN0", 28.0},
                                               {"temp7", "PCH_CHIP_TEMP", 52.0}}) {
        channels.append(channel(chip, sensor, "nct6798", label, Kind::temperature, value));
    }
    for (const auto& [sensor, rpm] : {std::pair{"fan1", 1180.0},
                                      {"fan2", 842.0},
                                      {"fan3", 0.0},
                                      {"fan4", 1502.0},
                                      {"fan5", 655.0}}) {
        channels.append(channel(chip, sensor, "nct6798", "", Kind::fan, rpm));
    }
    for (const auto& [sensor, label, volts] : {std::tuple{"in0", "Vcore", 1.02},
                                               {"in1", "+5V", 5.04},
                                               {"in2", "AVCC", 3.39},
                                               {"in3", "+3.3V", 3.36},
                                               {"in4", "+12V", 12.1},
                                               {"in5", "VIN5", 1.05},
                                               {"in6", "VIN6", 0.61},
                                               {"in7", "3VSB", 3.42},
                                               {"in8", "VBAT", 3.2},
                                               {"in9", "VTT", 1.05},
                                               {"in10", "", 0.0},
                                               {"in11", "VIN4", 1.2}}) {
        channels.append(channel(chip, sensor, "nct6798", label, Kind::voltage, volts));
    }
    channels.append(channel("thermal_zone0", "temp", "acpitz", "", Kind::temperature, 27.8));
    return channels;
}

SensorChannelReading& reading(QVector<SensorChannelReading>& channels, const char* identity) {
    return *std::find_if(channels.begin(), channels.end(), [identity](const auto& channel) {
        return channel.identity() == QLatin1String(identity);
    });
}

// What a screen reader hears of the card's shown headings, rows and controls, in their order.
void collectTexts(const QLayout* layout, const QWidget& card, QStringList& texts) {
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (const QWidget* widget = item->widget()) {
            const bool isText = qobject_cast<const SensorRow*>(widget) != nullptr ||
                                qobject_cast<const QLabel*>(widget) != nullptr ||
                                qobject_cast<const QPushButton*>(widget) != nullptr;
            if (isText && widget->isVisibleTo(&card) && !widget->accessibleName().isEmpty()) {
                texts.append(widget->accessibleName());
            }
            if (widget->layout() != nullptr && widget->isVisibleTo(&card)) {
                collectTexts(widget->layout(), card, texts);
            }
        } else if (item->layout() != nullptr) {
            collectTexts(item->layout(), card, texts);
        }
    }
}

QStringList shownTexts(const SensorsCard& card) {
    QStringList texts;
    collectTexts(card.body(), card, texts);
    return texts;
}

class SensorsCardTest : public ::testing::Test {
protected:
    SensorsCardTest() {
        harness.monitor->setHelperAvailable(true);
        poll(superIoDesktop());
    }

    void poll(const QVector<SensorChannelReading>& channels) {
        harness.fakes.sensors->next.channels = channels;
        harness.monitor->poll();
        card.refresh(*harness.monitor);
    }

    QString rowLabel(const char* identity) const {
        const SensorRow* row = card.row(QString::fromUtf8(identity));
        return row != nullptr && row->isVisibleTo(&card) ? row->label() : QString();
    }

    MonitorHarness harness;
    SensorsCard card{harness.settings};
};

TEST_F(SensorsCardTest, GroupsEveryReadingByChipInTheHelpersOrder) {
    const QStringList texts = shownTexts(card);
    QStringList headings;
    for (const QString& text : texts) {
        if (!text.contains(QLatin1Char(' '))) {
            headings.append(text);
        }
    }
    EXPECT_EQ(headings, (QStringList{"nvme", "coretemp", "nct6798", "acpitz"}));
    ASSERT_EQ(texts.size(), 4 + superIoDesktop().size());
    const char* const expected[] = {
        "nvme",
        "nvme Composite 38.9 °C, min 38.9 °C, max 38.9 °C",
        "coretemp",
        "coretemp Package id 0 52.0 °C, min 52.0 °C, max 52.0 °C",
    };
    for (qsizetype i = 0; i < qsizetype(std::size(expected)); ++i) {
        EXPECT_EQ(texts[i], QString::fromUtf8(expected[i]));
    }
    EXPECT_EQ(texts.last(), QString::fromUtf8("acpitz temp 27.8 °C, min 27.8 °C, max 27.8 °C"));
    const auto heading = card.findChildren<QLabel*>();
    const auto nct = std::find_if(heading.cbegin(), heading.cend(), [](const QLabel* label) {
        return label->accessibleName() == QLatin1String("nct6798");
    });
    ASSERT_NE(nct, heading.cend());
    EXPECT_EQ((*nct)->accessibleDescription(), QStringLiteral("platform_nct6775_656"));
}

TEST_F(SensorsCardTest, NamesAReadingByTheUsersNameElseTheDriversLabelElseTheChannel) {
    harness.settings.setSensorName(QStringLiteral("platform_nct6775_656/fan2"),
                                   QStringLiteral("Front intake"));
    harness.settings.setSensorName(QStringLiteral("platform_nct6775_656/in0"),
                                   QStringLiteral("CPU core"));
    const std::pair<const char*, const char*> cases[] = {
        {"platform_nct6775_656/fan2", "Front intake"},  // the user's name over no label
        {"platform_nct6775_656/in0", "CPU core"},       // the user's name over "Vcore"
        {"platform_nct6775_656/in4", "+12V"},           // the driver's label
        {"platform_nct6775_656/fan1", "fan1"},          // neither: the channel
        {"thermal_zone0/temp", "temp"},
    };
    for (const auto& [identity, label] : cases) {
        EXPECT_EQ(rowLabel(identity), QString::fromUtf8(label)) << identity;
    }
    harness.settings.setSensorName(QStringLiteral("platform_nct6775_656/in0"), QString());
    EXPECT_EQ(rowLabel("platform_nct6775_656/in0"), QStringLiteral("Vcore"));
}

TEST_F(SensorsCardTest, RenamingInTheRowsEditorGoesThroughTheStore) {
    const QString vcore = QStringLiteral("platform_nct6775_656/in0");
    SensorRow& row = *card.row(vcore);
    const struct {
        const char* typed;
        Qt::Key key;
        const char* stored;  // the user's name afterwards
        const char* shown;
    } cases[] = {
        {"CPU core", Qt::Key_Return, "CPU core", "CPU core"},
        {"Something else", Qt::Key_Escape, "CPU core", "CPU core"},  // Escape keeps the name
        {"  ", Qt::Key_Return, "", "Vcore"},     // an empty name goes back to the driver's label
        {"Vcore", Qt::Key_Return, "", "Vcore"},  // the driver's own label stores no name
    };
    for (const auto& c : cases) {
        row.renameAction()->trigger();
        ASSERT_NE(row.editor(), nullptr) << c.typed;
        row.editor()->setText(QString::fromUtf8(c.typed));
        QTest::keyClick(row.editor(), c.key);
        EXPECT_EQ(row.editor(), nullptr) << c.typed;
        EXPECT_EQ(harness.settings.sensorNames().value(vcore), QString::fromUtf8(c.stored))
            << c.typed;
        EXPECT_EQ(row.label(), QString::fromUtf8(c.shown)) << c.typed;
    }
}

TEST_F(SensorsCardTest, HiddenReadingsLeaveAndComeBackThroughShowHidden) {
    EXPECT_FALSE(card.showHiddenButton()->isVisibleTo(&card));
    card.row(QStringLiteral("platform_nct6775_656/fan3"))->hideAction()->trigger();
    harness.settings.setSensorHidden(QStringLiteral("thermal_zone0/temp"), true);
    EXPECT_EQ(rowLabel("platform_nct6775_656/fan3"), QString());
    EXPECT_EQ(rowLabel("thermal_zone0/temp"), QString());
    EXPECT_FALSE(shownTexts(card).contains(QStringLiteral("acpitz")));  // its chip goes too
    EXPECT_TRUE(card.showHiddenButton()->isVisibleTo(&card));
    EXPECT_EQ(card.showHiddenButton()->accessibleName(), QStringLiteral("Show hidden (2)"));
    EXPECT_EQ(shownTexts(card).size(), 3 + superIoDesktop().size() - 2 + 1);

    card.showHiddenButton()->click();
    EXPECT_TRUE(harness.settings.hiddenSensors().isEmpty());
    EXPECT_EQ(rowLabel("platform_nct6775_656/fan3"), QStringLiteral("fan3"));
    EXPECT_FALSE(card.showHiddenButton()->isVisibleTo(&card));
    QStringList before = shownTexts(card);
    EXPECT_EQ(before.size(), 4 + superIoDesktop().size());
    // Back in its place among the chip's fans, not at the chip's end.
    EXPECT_TRUE(before.indexOf(QString::fromUtf8("nct6798 fan3 0 RPM, min 0 RPM, max 0 RPM")) <
                before.indexOf(QString::fromUtf8("nct6798 fan4 1502 RPM, min 1502 RPM, max "
                                                 "1502 RPM")));
}

TEST_F(SensorsCardTest, ShowsTheSessionsExtremesAndADashForAnAbsentValue) {
    QVector<SensorChannelReading> channels = superIoDesktop();
    const char* vcoreIdentity = "platform_nct6775_656/in0";
    reading(channels, vcoreIdentity).value = 0.98;
    poll(channels);
    reading(channels, vcoreIdentity).value = 1.10;
    reading(channels, "nvme_nvme0/temp1").value.reset();  // the disk stopped answering
    poll(channels);
    reading(channels, vcoreIdentity).value = 1.02;
    poll(channels);
    const SensorRow& vcore = *card.row(QStringLiteral("platform_nct6775_656/in0"));
    EXPECT_EQ(vcore.value(), QStringLiteral("1.02 V"));
    EXPECT_EQ(vcore.extremes(), QString::fromUtf8("min 0.98 V · max 1.10 V"));
    EXPECT_EQ(vcore.accessibleName(),
              QStringLiteral("nct6798 Vcore 1.02 V, min 0.98 V, max 1.10 V"));
    const SensorRow& disk = *card.row(QStringLiteral("nvme_nvme0/temp1"));
    EXPECT_EQ(disk.value(), QString::fromUtf8("—"));
    EXPECT_EQ(disk.extremes(), QString::fromUtf8("min 38.9 °C · max 38.9 °C"));
}

TEST_F(SensorsCardTest, PollsOfTheSameReadingsReuseTheRows) {
    const int laidOut = card.layoutCount();
    const SensorRow* fan = card.row(QStringLiteral("platform_nct6775_656/fan1"));
    QVector<SensorChannelReading> channels = superIoDesktop();
    for (int i = 0; i < 5; ++i) {
        reading(channels, "platform_nct6775_656/fan1").value = 1000 + i;
        poll(channels);
    }
    EXPECT_EQ(card.layoutCount(), laidOut);
    EXPECT_EQ(card.row(QStringLiteral("platform_nct6775_656/fan1")), fan);
    EXPECT_EQ(fan->value(), QStringLiteral("1004 RPM"));
    channels.append(channel("thermal_zone1", "temp", "x86_pkg_temp", "", Kind::temperature, 50));
    poll(channels);
    EXPECT_EQ(card.layoutCount(), laidOut + 1);
    EXPECT_EQ(card.row(QStringLiteral("platform_nct6775_656/fan1")), fan);
}

TEST(SensorsCardInDashboardTest, ShowsAcrossTheGridOnlyWhileTheMachineHasASensor) {
    MonitorHarness h;
    h.monitor->setHelperAvailable(true);
    DashboardView view(*h.monitor, h.settings, h.clock, QString());
    const auto shownTitles = [&view] {
        QStringList titles;
        for (const DashboardCard* card : view.grid()->shownCards()) {
            titles.append(card->title());
        }
        return titles;
    };
    EXPECT_FALSE(shownTitles().contains(QStringLiteral("Sensors")));
    h.fakes.sensors->next.channels = superIoDesktop();
    h.monitor->poll();
    EXPECT_EQ(shownTitles().last(), QStringLiteral("Sensors"));
    h.fakes.sensors->next.channels.clear();
    h.monitor->poll();
    EXPECT_FALSE(shownTitles().contains(QStringLiteral("Sensors")));
}

// Escape in a row's editor cancels the renaming only: the window's shortcut would otherwise
// close the dashboard too.
TEST(SensorsCardInDashboardTest, EscapeInTheEditorKeepsTheDashboardOpen) {
    MonitorHarness h;
    h.monitor->setHelperAvailable(true);
    h.fakes.sensors->next.channels = superIoDesktop();
    h.monitor->poll();
    DashboardWindow window(*h.monitor, h.settings, h.clock, QString());
    int closes = 0;
    QObject::connect(&window, &DashboardWindow::closeRequested, [&] { ++closes; });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    SensorRow* row = window.findChild<SensorsCard*>()->row(QStringLiteral("thermal_zone0/temp"));
    row->startRenaming();
    QTest::keyClick(row->editor(), Qt::Key_Escape);
    EXPECT_EQ(row->editor(), nullptr);
    EXPECT_EQ(closes, 0);
    QTest::keyClick(row, Qt::Key_Escape);  // without an editor, Escape closes as before
    EXPECT_EQ(closes, 1);
}

// Keeps pictures of the card with the desktop's readings at 100 % and 200 % in artefacts/.
TEST_F(SensorsCardTest, PictureOfTheDesktopsSensorsAtBothScales) {
    QVector<SensorChannelReading> channels = superIoDesktop();
    for (SensorChannelReading& each : channels) {
        each.value = each.value.value_or(0) * 1.06;
    }
    poll(channels);
    harness.settings.setSensorName(QStringLiteral("platform_nct6775_656/fan1"),
                                   QStringLiteral("CPU fan"));
    harness.settings.setSensorHidden(QStringLiteral("platform_nct6775_656/in10"), true);
    card.setAccent(accentColorNamed(QStringLiteral("purple")));
    keepSensorsCardPictures(card, QStringLiteral("sensors-card"), {1.0, 2.0});
}

}  // namespace
