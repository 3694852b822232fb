#include "views/dashboard/BatteryCard.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/kit/StateColors.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewPalette.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

// Below this the battery is taken as idle and no power row is shown.
constexpr double minimumShownWatts = 0.1;

}  // namespace

BatteryCard::BatteryCard(QWidget* parent)
    : DashboardCard(QStringLiteral("battery.100"), QStringLiteral("Battery"), parent),
      details_(new QWidget) {
    noBattery_ = addNote(noBatteryText());
    auto* rows = new QVBoxLayout(details_);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(6);
    const auto row = [this, rows](const char* label) {
        return addRow(QString::fromUtf8(label), rows);
    };
    status_ = row("Status");
    health_ = row("Health");
    cycles_ = row("Cycles");
    power_ = row("Discharging");
    voltage_ = row("Voltage");
    condition_ = row("Condition");
    capacity_ = row("Capacity");
    temperature_ = row("Temperature");
    charger_ = row("Charger");
    body()->addWidget(details_);
    body()->addStretch(1);
}

void BatteryCard::refresh(const SystemMonitor& monitor) {
    const BatteryStats& battery = monitor.battery();
    noBattery_->setVisible(!battery.hasBattery);
    details_->setVisible(battery.hasBattery);
    if (!battery.hasBattery) {
        setValue(QString());
        return;
    }
    setSymbol(batterySymbolName(battery));
    setValue(wholePercentText(battery.percentage));
    setValueColor(batteryLevelColor(battery));

    status_->setValue(batteryTimeText(battery));
    if (battery.healthPercent < 0) {
        health_->setValue(noValueText());
        health_->setValueColor(ViewPalette::primaryText());
    } else {
        health_->setValue(wholePercentText(battery.healthPercent));
        health_->setValueColor(batteryHealthColor(battery.healthPercent));
    }
    cycles_->setValue(battery.cycleCount < 0 ? noValueText() : QString::number(battery.cycleCount));
    power_->setLabel(battery.isCharging ? QStringLiteral("Charging")
                                        : QStringLiteral("Discharging"));
    // A rate that is not a number is shown as such rather than taken for an idle battery.
    const bool flowing = !(battery.currentWatts <= minimumShownWatts);
    if (flowing) {
        power_->setValue(readingText(battery.currentWatts, powerText));
    }
    power_->setVisible(flowing);
    voltage_->setValue(readingText(battery.voltage, voltageText));
    if (battery.condition.isEmpty()) {
        condition_->setValue(noValueText());
        condition_->setValueColor(ViewPalette::primaryText());
    } else {
        condition_->setValue(battery.condition);
        condition_->setValueColor(batteryConditionColor(battery.condition));
    }
    const QString capacity = batteryCapacityText(battery);
    capacity_->setValue(capacity.isEmpty() ? noValueText() : capacity);

    const SensorStats& sensors = monitor.sensors();
    showReading(*temperature_, sensors.batteryTempCelsius, temperatureText);
    showReading(*charger_, sensors.chargerPowerWatts, powerText);
}
