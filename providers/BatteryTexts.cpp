#include "providers/BatteryTexts.h"

#include "platform/PowerSupplySource.h"

QString batteryTimeText(const BatteryStats& battery) {
    const int minutes = battery.timeRemainingMinutes;
    const int hours = minutes / 60;
    const int rest = minutes % 60;
    if (battery.isCharging) {
        if (minutes < 1) {
            return QStringLiteral("Charging");
        }
        if (minutes < 60) {
            return QStringLiteral("Full in %1m").arg(rest);
        }
        return QStringLiteral("Full in %1h %2m").arg(hours).arg(rest);
    }
    if (minutes == kTimeRemainingUnlimited) {
        return QStringLiteral("Fully Charged");
    }
    // -1 and any other negative value: no estimate yet.
    if (minutes < 0) {
        return QStringLiteral("Calculating...");
    }
    if (minutes < 60) {
        return QStringLiteral("%1m remaining").arg(rest);
    }
    return QStringLiteral("%1h %2m remaining").arg(hours).arg(rest);
}

QString batteryCapacityText(const BatteryStats& battery) {
    const int design = battery.designCapacityMAh;
    const int maximum = battery.currentMaxCapacityMAh;
    if (design < 1 || maximum < 1) {
        return {};
    }
    const double designWattHours = battery.voltage * design / 1000.0;
    const double presentWattHours = battery.voltage * maximum / 1000.0;
    if (designWattHours > 0 && presentWattHours > 0) {
        return QString::asprintf("%.1f / %.1f Wh", presentWattHours, designWattHours);
    }
    return QStringLiteral("%1 / %2 mAh").arg(maximum).arg(design);
}
