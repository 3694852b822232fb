#include "hardware/SensorChannelList.h"
#include "sensors/SensorReadingMapping.h"
#include "shared/HelperReplies.h"
#include "support/MonitorHarness.h"
#include "support/QStringPrinter.h"
#include "views/SensorsCardPictures.h"
#include "views/dashboard/SensorRow.h"
#include "views/dashboard/SensorsCard.h"

#include <gtest/gtest.h>

namespace {

// What the card shows of a fixture machine's readings after the whole way they travel: read
// from its sysfs tree, sent over the wire, mapped into the application's record.
SensorStats sensorsOfFixtureMachine(const char* machine) {
    SensorChannelList list(std::filesystem::path(VANTREL_FIXTURES_DIR) / "sensors" / machine);
    SensorReading reading;
    reading.channels = list.read();
    const auto decoded = wire::decodeSensorReply(wire::encodeSensorReply(reading));
    return decoded ? sensorStatsFrom(*decoded) : SensorStats{};
}

TEST(SensorsCardOfAFixtureMachineTest, ShowsEveryReadingOfTheSuperIoDesktopByItsLabel) {
    const SensorStats sensors = sensorsOfFixtureMachine("superio-desktop");
    ASSERT_EQ(sensors.channels.size(), 33);
    MonitorHarness harness;
    harness.monitor->setHelperAvailable(true);
    harness.fakes.sensors->next = sensors;
    harness.monitor->poll();
    SensorsCard card(harness.settings);
    card.refresh(*harness.monitor);

    for (const SensorChannelReading& channel : sensors.channels) {
        SCOPED_TRACE(channel.identity().toStdString());
        const SensorRow* row = card.row(channel.identity());
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->label(), channel.label.isEmpty() ? channel.sensor : channel.label);
        EXPECT_NE(row->value(), QStringLiteral("\u2014"));
    }
    EXPECT_EQ(card.row(QStringLiteral("platform_nct6775_656/in0"))->value(),
              QStringLiteral("1.02 V"));

    keepSensorsCardPictures(card, QStringLiteral("sensors-card-superio-desktop"), {1.0});
}

}  // namespace
